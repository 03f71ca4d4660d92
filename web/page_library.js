// The game's side of the page: the canvas, the sounds, the touch controls,
// the gamepads, the pause and the line under the canvas. Linked into
// rallix.js with --js-library; the C++ side calls the rallix_page_*
// functions (web/emscripten_page.cpp). The page around it is page.js.
//
// The page keeps a few figures for anyone who looks (the browser test does):
// Module.rallix.passes() counts the passes of the frame loop, .sounds() lists
// the last sounds asked for, and .stop() asks the game to stop.

mergeInto(LibraryManager.library, {
  $RallixPage__deps: ['$FS'],
  $RallixPage: {
    width: 640,
    height: 480,
    passes: 0,
    stopRequested: false,
    context: null,
    image: null,
    line: null,
    audio: null,
    decoded: {},     // file name -> promise of its AudioBuffer, or of null
    source: null,    // the sound playing
    generation: 0,   // raised by every play and stop: a late decode is dropped
    sounds: [],      // {file, how, outcome} of the last sounds asked for
    running: false,  // a game runs (P pauses it), or the page offers to play again
    paused: false,
    buttons: [],     // source, virtual key, down: touch and pad presses not yet taken
    padKeys: {},     // virtual key -> true while a gamepad holds it
    letGo: [],       // what lets go of every touch control at once

    // Sources of a press, as web/emscripten_page.cpp reads them.
    TOUCH: 1,
    PAD: 2,

    press: function(source, key, down) {
      RallixPage.buttons.push(source, key, down ? 1 : 0);
    },

    setPaused: function(paused) {
      RallixPage.paused = paused;
      document.getElementById('paused').hidden = !paused;
      document.getElementById('pause').textContent = paused ? 'Resume' : 'Pause';
    },

    // What does nothing once the game has ended: the Pause button, the touch
    // controls and the lines that tell the game's keys.
    GAME_ONLY: ['pause', 'move', 'act', 'help', 'touch-help'],

    showGameOnly: function(shown) {
      RallixPage.GAME_ONLY.forEach(function(id) { document.getElementById(id).hidden = !shown; });
    },

    togglePause: function() {
      if (RallixPage.running) RallixPage.setPaused(!RallixPage.paused);
    },

    // P pauses and goes on; the key is the page's, not the game's.
    onKey: function(event) {
      if (event.code !== 'KeyP' || event.repeat || event.ctrlKey || event.altKey || event.metaKey) {
        return;
      }
      RallixPage.togglePause();
    },

    // A touch control is held while at least one finger is on it. A finger
    // that slides from one control to the next lets go of the first and
    // holds the second, so the controls do not keep the finger they began with.
    wireControl: function(control) {
      var key = Number(control.getAttribute('data-key'));
      var fingers = new Set();
      var hold = function(event) {
        if (!(event.buttons & 1) || fingers.has(event.pointerId)) return;
        fingers.add(event.pointerId);
        if (fingers.size === 1) {
          control.classList.add('held');
          RallixPage.press(RallixPage.TOUCH, key, true);
        }
      };
      var letGo = function(event) {
        if (!fingers.delete(event.pointerId) || fingers.size > 0) return;
        control.classList.remove('held');
        RallixPage.press(RallixPage.TOUCH, key, false);
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
      RallixPage.letGo.push(function() {
        fingers.clear();
        control.classList.remove('held');
      });
    },

    // The page lost the focus: the game lets go of every key (web_main.cpp),
    // and the controls and pads start afresh; a pad still held is pressed
    // again at the next look.
    onBlur: function() {
      RallixPage.letGo.forEach(function(letGo) { letGo(); });
      RallixPage.padKeys = {};
      RallixPage.buttons = [];
    },

    // Every connected gamepad in the standard layout: the D-pad and the left
    // stick (beyond half way) are the arrows, A (button 0) and Start
    // (button 9) are Space. A change since the last look is a press or a
    // release of the pad's keys.
    readPads: function() {
      var pads = [];
      try {
        pads = navigator.getGamepads ? navigator.getGamepads() : [];
      } catch (e) {
      }
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
        if (pressed(14) || x <= -0.5) held[37] = true;
        if (pressed(15) || x >= 0.5) held[39] = true;
        if (pressed(12) || y <= -0.5) held[38] = true;
        if (pressed(13) || y >= 0.5) held[40] = true;
        if (pressed(0) || pressed(9)) held[32] = true;
      }
      [32, 37, 38, 39, 40].forEach(function(key) {
        if (!held[key] !== !RallixPage.padKeys[key]) RallixPage.press(RallixPage.PAD, key, held[key]);
      });
      RallixPage.padKeys = held;
    },

    // The audio context may only start with a user's gesture: the first key
    // press makes it, a later one resumes it if the browser suspended it.
    startAudio: function() {
      if (!RallixPage.audio) {
        var Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return;
        try {
          RallixPage.audio = new Context();
        } catch (e) {
          return;
        }
      }
      if (RallixPage.audio.state === 'suspended') {
        RallixPage.audio.resume().catch(function() {});
      }
    },

    // The file's samples, read from the packed working directory and decoded
    // once; null when the file is missing or not a sound the browser knows.
    decode: function(file) {
      if (!RallixPage.audio) return Promise.resolve(null);
      if (!RallixPage.decoded[file]) {
        var bytes;
        try {
          bytes = FS.readFile(file);
        } catch (e) {
          bytes = null;
        }
        RallixPage.decoded[file] = !bytes ? Promise.resolve(null) :
          new Promise(function(resolve) {
            var copy = bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength);
            // The callback form: older browsers return no promise.
            RallixPage.audio.decodeAudioData(copy, resolve, function() { resolve(null); });
          });
      }
      return RallixPage.decoded[file];
    },

    stopSource: function() {
      if (!RallixPage.source) return;
      try {
        RallixPage.source.stop();
      } catch (e) {
      }
      RallixPage.source = null;
    },

    note: function(file, how) {
      var entry = {file: file, how: how, outcome: 'pending'};
      RallixPage.sounds.push(entry);
      if (RallixPage.sounds.length > 50) RallixPage.sounds.shift();
      return entry;
    },

    // Replaces the playing sound with the file's. The promise gives the
    // sound's length in seconds, 0 when nothing plays.
    play: function(file, how) {
      var generation = ++RallixPage.generation;
      var entry = RallixPage.note(file, how);
      RallixPage.stopSource();
      return RallixPage.decode(file).then(function(buffer) {
        if (!buffer) {
          entry.outcome = 'silent';
          return 0;
        }
        if (generation !== RallixPage.generation) {
          entry.outcome = 'replaced';
          return 0;
        }
        var source = RallixPage.audio.createBufferSource();
        source.buffer = buffer;
        source.connect(RallixPage.audio.destination);
        source.start();
        RallixPage.source = source;
        entry.outcome = 'played';
        return buffer.duration;
      }).catch(function() {
        entry.outcome = 'silent';
        return 0;
      });
    },
  },

  rallix_page_open__deps: ['$RallixPage'],
  rallix_page_open: function() {
    var canvas = document.getElementById('screen');
    RallixPage.context = canvas.getContext('2d', {alpha: false});
    RallixPage.image = RallixPage.context.createImageData(RallixPage.width, RallixPage.height);
    RallixPage.line = document.getElementById('status');
    RallixPage.line.textContent = '';
    RallixPage.running = true;
    window.addEventListener('keydown', RallixPage.startAudio, true);
    window.addEventListener('pointerup', RallixPage.startAudio, true);
    window.addEventListener('keydown', RallixPage.onKey);
    window.addEventListener('blur', RallixPage.onBlur);
    document.getElementById('pause').addEventListener('click', function(event) {
      event.currentTarget.blur();
      RallixPage.togglePause();
    });
    document.querySelectorAll('[data-key]').forEach(RallixPage.wireControl);
    Module['rallix'] = {
      passes: function() { return RallixPage.passes; },
      sounds: function() { return RallixPage.sounds.slice(); },
      stop: function() { RallixPage.stopRequested = true; },
    };
  },

  rallix_page_begin_pass__deps: ['$RallixPage'],
  rallix_page_begin_pass: function() {
    ++RallixPage.passes;
    return RallixPage.stopRequested ? 0 : 1;
  },

  rallix_page_in_front__deps: ['$RallixPage'],
  rallix_page_in_front: function() {
    return document.hasFocus() && !RallixPage.paused ? 1 : 0;
  },

  // Copies up to `capacity` presses (source, virtual key, down) to `events`
  // after a look at the gamepads; returns how many.
  rallix_page_take_buttons__deps: ['$RallixPage'],
  rallix_page_take_buttons: function(events, capacity) {
    RallixPage.readPads();
    var queue = RallixPage.buttons;
    var count = Math.min(capacity, queue.length / 3);
    for (var i = 0; i < 3 * count; ++i) HEAP32[(events >> 2) + i] = queue[i];
    queue.splice(0, 3 * count);
    return count;
  },

  // pixels: the 640 x 480 palette indices; rects: count times x, y, w, h.
  rallix_page_paint__deps: ['$RallixPage'],
  rallix_page_paint: function(pixels, rects, count) {
    var data = RallixPage.image.data;
    var width = RallixPage.width;
    for (var i = 0; i < count; ++i) {
      var r = (rects >> 2) + 4 * i;
      var x = HEAP32[r], y = HEAP32[r + 1], w = HEAP32[r + 2], h = HEAP32[r + 3];
      for (var row = y; row < y + h; ++row) {
        var from = pixels + row * width + x;
        var to = (row * width + x) * 4;
        for (var column = 0; column < w; ++column, to += 4) {
          var level = HEAPU8[from + column] === 0 ? 0 : 255;
          data[to] = level;
          data[to + 1] = level;
          data[to + 2] = level;
          data[to + 3] = 255;
        }
      }
      RallixPage.context.putImageData(RallixPage.image, 0, 0, x, y, w, h);
    }
  },

  rallix_page_play_sound__deps: ['$RallixPage'],
  rallix_page_play_sound: function(file) {
    RallixPage.play(UTF8ToString(file), 'async');
  },

  // Holds the game (Asyncify) until the sound has had its length.
  rallix_page_play_sound_to_end__deps: ['$RallixPage'],
  rallix_page_play_sound_to_end: function(file) {
    var name = UTF8ToString(file);
    Asyncify.handleSleep(function(wakeUp) {
      RallixPage.play(name, 'sync').then(function(seconds) {
        setTimeout(wakeUp, seconds * 1000);
      });
    });
  },

  rallix_page_stop_sound__deps: ['$RallixPage'],
  rallix_page_stop_sound: function() {
    ++RallixPage.generation;
    RallixPage.note('', 'stop').outcome = 'stopped';
    RallixPage.stopSource();
  },

  rallix_page_show_line__deps: ['$RallixPage'],
  rallix_page_show_line: function(text) {
    RallixPage.line.textContent = UTF8ToString(text);
  },

  // Holds the program (Asyncify) until the play-again button is pressed.
  rallix_page_wait_for_play_again__deps: ['$RallixPage'],
  rallix_page_wait_for_play_again: function() {
    Asyncify.handleSleep(function(wakeUp) {
      RallixPage.running = false;
      RallixPage.setPaused(false);
      RallixPage.showGameOnly(false);
      var again = document.getElementById('again');
      again.hidden = false;
      again.onclick = function() {
        again.onclick = null;
        again.hidden = true;
        again.blur();
        RallixPage.stopRequested = false;
        RallixPage.running = true;
        RallixPage.showGameOnly(true);
        // The new game knows of no held key: fingers and pads start afresh.
        RallixPage.onBlur();
        wakeUp();
      };
    });
  },
});
