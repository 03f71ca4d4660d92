// The presses the program takes at the start of every pass besides the
// keyboard's: the touch controls' and the gamepads'. The controls carry the
// names of the game's keys (data-key="left"), which the program's facts turn
// into its virtual keys. Part of the page's script (web/library/page.js).

mergeInto(LibraryManager.library, {
  $RallixInput: {
    keys: {},        // key name -> virtual key, as the program numbers them
    sources: {},     // touch, pad -> the program's number for each
    buttons: [],     // source, virtual key, down: presses not yet taken
    padKeys: {},     // virtual key -> true while a gamepad holds it
    padsSeen: false,     // a gamepad has shown itself to the page
    padsRefused: false,  // the browser forbids this page the gamepads
    letGo: [],       // what lets go of every touch control at once

    open: function(facts) {
      RallixInput.keys = facts.keys;
      RallixInput.sources = facts.sources;
      document.querySelectorAll('[data-key]').forEach(RallixInput.wireControl);
      // A browser shows a page its gamepads only once one is used, and says
      // so first; until then there is nothing to read, and the first look,
      // which wakes the browser's gamepad service, would hold up the title.
      RallixCanvas.afterTitle(function() {
        window.addEventListener('gamepadconnected', function() { RallixInput.padsSeen = true; });
      });
    },

    press: function(source, key, down) {
      RallixInput.buttons.push(RallixInput.sources[source], key, down ? 1 : 0);
    },

    // A touch control is held while at least one finger is on it. A finger
    // that slides from one control to the next lets go of the first and
    // holds the second, so the controls do not keep the finger they began with.
    wireControl: function(control) {
      var key = RallixInput.keys[control.getAttribute('data-key')];
      var fingers = new Set();
      var hold = function(event) {
        if (!(event.buttons & 1) || fingers.has(event.pointerId)) return;
        fingers.add(event.pointerId);
        if (fingers.size === 1) {
          control.classList.add('held');
          RallixInput.press('touch', key, true);
        }
      };
      var letGo = function(event) {
        if (!fingers.delete(event.pointerId) || fingers.size > 0) return;
        control.classList.remove('held');
        RallixInput.press('touch', key, false);
      };
      control.addEventListener('pointerdown', hold);
      control.addEventListener('gotpointercapture', function(event) {
        control.releasePointerCapture(event.pointerId);
      });
      control.addEventListener('pointerenter', hold);
      control.addEventListener('pointerup', letGo);
      control.addEventListener('pointercancel', letGo);
      control.addEventListener('pointerleave', letGo);
      control.addEventListener('contextmenu', function(event) { event.preventDefault(); });
      RallixInput.letGo.push(function() {
        fingers.clear();
        control.classList.remove('held');
      });
    },

    // The page lost the focus, or a new run begins: the controls and pads
    // start afresh; a pad still held is pressed again at the next look.
    letGoAll: function() {
      RallixInput.letGo.forEach(function(letGo) { letGo(); });
      RallixInput.padKeys = {};
      RallixInput.buttons = [];
    },

    // Every connected gamepad in the standard layout: the D-pad and the left
    // stick (beyond half way) are the arrows, A (button 0) and Start
    // (button 9) are Space. A change since the last look is a press or a
    // release of the pad's keys.
    readPads: function() {
      if (!RallixInput.padsSeen || RallixInput.padsRefused) return;
      var pads;
      try {
        pads = navigator.getGamepads();
      } catch (e) {
        // A browser without gamepads, or a page whose permissions policy
        // forbids them: none, for good.
        RallixInput.padsRefused = true;
        return;
      }
      var keys = RallixInput.keys;
      var held = {};
      for (var i = 0; i < pads.length; ++i) {
        var pad = pads[i];
        if (!pad || pad.connected === false) continue;
        var pressed = function(number) {
          var button = pad.buttons[number];
          return !!button && (button.pressed === true || button.value > 0.5);
        };
        var x = pad.axes[0] || 0;
        var y = pad.axes[1] || 0;
        if (pressed(14) || x <= -0.5) held[keys.left] = true;
        if (pressed(15) || x >= 0.5) held[keys.right] = true;
        if (pressed(12) || y <= -0.5) held[keys.up] = true;
        if (pressed(13) || y >= 0.5) held[keys.down] = true;
        if (pressed(0) || pressed(9)) held[keys.space] = true;
      }
      Object.keys(keys).forEach(function(name) {
        var key = keys[name];
        if (!held[key] !== !RallixInput.padKeys[key]) RallixInput.press('pad', key, held[key]);
      });
      RallixInput.padKeys = held;
    },
  },

  // Copies up to `capacity` presses (source, virtual key, down) to `events`
  // after a look at the gamepads; returns how many.
  rallix_page_take_buttons__deps: ['$RallixInput'],
  rallix_page_take_buttons: function(events, capacity) {
    RallixInput.readPads();
    var queue = RallixInput.buttons;
    var count = Math.min(capacity, queue.length / 3);
    for (var i = 0; i < 3 * count; ++i) HEAP32[(events >> 2) + i] = queue[i];
    queue.splice(0, 3 * count);
    return count;
  },
});
