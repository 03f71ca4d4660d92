// The game's side of the page: the canvas, the sounds, the touch controls,
// the gamepads, the pause, the line under the canvas and the demo buttons;
// and the comforts around the game: its volume and mute (M), kept in the
// page's localStorage, and a picture of the game (F12, the Screenshot
// button) offered as a download.
// Linked into rallix.js with --js-library; the C++ side calls the
// rallix_page_* functions (web/emscripten_page.cpp). The page around it is
// page.js.
//
// The page keeps a few figures for anyone who looks (the browser test does):
// Module.rallix.passes() counts the passes of the frame loop, .sounds() lists
// the last sounds asked for, .volume() the volume the sounds are played at
// (0 to 1, 0 while muted), and .stop() asks the game to stop.
//
// Demos cross between the page and the program in bytes: the page reads a
// chosen file (no more than a demo may hold and one byte) and keeps it as
// the player's request until the program, between two passes, takes the
// request and copies the name and bytes into memory it allocates; a
// recording comes out piece by piece into copies the page keeps, which it
// makes one Blob to save when the program offers the demo.

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
    run: 'game',     // the run going on ('game', 'recording', 'demo'), or 'ended'
    paused: false,
    request: null,   // the player's request the program has not taken yet
    mostDemoBytes: 0,
    pieces: [],      // the pieces of the demo being recorded
    saved: null,     // the object URL of the demo offered to save
    buttons: [],     // source, virtual key, down: touch and pad presses not yet taken
    padKeys: {},     // virtual key -> true while a gamepad holds it
    letGo: [],       // what lets go of every touch control at once
    gain: null,      // the volume every sound goes through
    volume: 100,     // 0 to 100, as the volume control shows it
    muted: false,
    screenshotWanted: false,  // F12 or the Screenshot button, not yet taken

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

    // The requests and the runs as web/emscripten_page.cpp numbers them.
    RECORD: 1,
    STOP_RECORDING: 2,
    PLAY_DEMO: 3,
    RUNS: ['game', 'recording', 'demo'],

    // The controls that do something in each run, and once the game has
    // ended; the others are hidden. A demo's game takes no keys; a
    // recording is stopped and saved before a demo plays.
    CONTROLS: ['pause', 'record', 'play-demo', 'move', 'act', 'help', 'touch-help', 'again', 'save',
      'mute', 'volume', 'screenshot'],
    SHOWN: {
      game: ['pause', 'record', 'play-demo', 'move', 'act', 'help', 'touch-help', 'mute', 'volume',
        'screenshot'],
      recording: ['pause', 'record', 'move', 'act', 'help', 'touch-help', 'mute', 'volume',
        'screenshot'],
      demo: ['pause', 'record', 'play-demo', 'mute', 'volume', 'screenshot'],
      ended: ['again', 'save'],
    },

    showRun: function(run) {
      RallixPage.run = run;
      var shown = RallixPage.SHOWN[run];
      RallixPage.CONTROLS.forEach(function(id) {
        document.getElementById(id).hidden = shown.indexOf(id) < 0 ||
          (id === 'save' && !RallixPage.saved);
      });
      document.getElementById('record').textContent =
        run === 'recording' ? 'Stop and save' : 'Record';
    },

    togglePause: function() {
      if (RallixPage.run !== 'ended') RallixPage.setPaused(!RallixPage.paused);
    },

    // The program takes the request between two passes; a newer one
    // replaces it. Once the game has ended only Play again starts a run.
    ask: function(request) {
      if (RallixPage.run !== 'ended') RallixPage.request = request;
    },

    onRecord: function() {
      RallixPage.ask({kind: RallixPage.run === 'recording' ? RallixPage.STOP_RECORDING :
        RallixPage.RECORD});
    },

    // The file chosen to play: a larger file than a demo may be is read no
    // further than it takes to refuse it.
    chooseDemo: function(file) {
      var reader = new FileReader();
      var name = RallixPage.shownName(file.name);
      reader.onload = function() {
        RallixPage.ask({kind: RallixPage.PLAY_DEMO, name: name,
                        bytes: new Uint8Array(reader.result)});
      };
      reader.onerror = function() {
        RallixPage.line.textContent = name + ' cannot be played: the file could not be read.';
      };
      reader.readAsArrayBuffer(file.slice(0, RallixPage.mostDemoBytes + 1));
    },

    // A file's name as the line under the canvas shows it: on one line, in
    // its own direction, and no longer than 60 characters. The characters
    // shown as '?' (controls, the line and paragraph separators, and those
    // that turn the line's direction, as the game's own lines hide them) are
    // ranges of code points: the build keeps numbers in this table as they
    // are, where it would empty a regular expression.
    UNSHOWN: [[0x00, 0x1f], [0x7f, 0x9f], [0x061c, 0x061c], [0x200e, 0x200f], [0x2028, 0x202e],
              [0x2066, 0x2069]],
    shownName: function(name) {
      var characters = Array.from(name, function(character) {
        var code = character.codePointAt(0);
        return RallixPage.UNSHOWN.some(function(range) {
          return code >= range[0] && code <= range[1];
        }) ? '?' : character;
      });
      if (characters.length > 60) characters = characters.slice(0, 57).concat('...');
      return characters.join('');
    },

    // The name a recording is saved under, from the moment it was offered:
    // rallix-20250131-235959.demo.
    demoName: function(date) {
      var two = function(number) { return (number < 10 ? '0' : '') + number; };
      return 'rallix-' + date.getFullYear() + two(date.getMonth() + 1) + two(date.getDate()) +
        '-' + two(date.getHours()) + two(date.getMinutes()) + two(date.getSeconds()) + '.demo';
    },

    forgetSaved: function() {
      if (RallixPage.saved) URL.revokeObjectURL(RallixPage.saved);
      RallixPage.saved = null;
    },

    // P pauses and goes on, M mutes and unmutes, F12 takes a picture; the
    // keys are the page's, not the game's.
    onKey: function(event) {
      if (event.repeat || event.ctrlKey || event.altKey || event.metaKey) return;
      if (event.code === 'KeyP') {
        RallixPage.togglePause();
      } else if (event.code === 'KeyM') {
        RallixPage.setSound(RallixPage.volume, !RallixPage.muted);
      } else if (event.code === 'F12') {
        event.preventDefault();
        RallixPage.askScreenshot();
      }
    },

    // A picture of the game is made by the program after its next frame.
    askScreenshot: function() {
      if (RallixPage.run !== 'ended') RallixPage.screenshotWanted = true;
    },

    // The name a picture is saved under, from the moment it was offered:
    // rallix-20250131-235959.png, as the desktop names its own.
    screenshotName: function(date) {
      return RallixPage.demoName(date).replace(/\.demo$/, '.png');
    },

    // The volume (0 to 100) and the mute: heard at once, in a few
    // milliseconds' ramp, shown by the controls and kept for the next visit.
    SETTINGS: 'rallix.settings',
    setSound: function(volume, muted) {
      RallixPage.volume = Math.max(0, Math.min(100, Math.round(volume)));
      RallixPage.muted = !!muted;
      RallixPage.applyVolume();
      var slider = document.getElementById('volume');
      slider.value = String(RallixPage.volume);
      document.getElementById('mute').textContent = RallixPage.muted ? 'Unmute' : 'Mute';
      document.getElementById('muted').hidden = !RallixPage.muted;
      try {
        localStorage.setItem(RallixPage.SETTINGS,
            JSON.stringify({volume: RallixPage.volume, mute: RallixPage.muted}));
      } catch (e) {
      }
    },
    gainNow: function() {
      return RallixPage.muted ? 0 : RallixPage.volume / 100;
    },
    applyVolume: function() {
      var gain = RallixPage.gain;
      if (!gain) return;
      var now = RallixPage.audio.currentTime;
      gain.gain.cancelScheduledValues(now);
      gain.gain.setTargetAtTime(RallixPage.gainNow(), now, 0.004);
    },
    // What the last visit kept; the game's own sound without it, or with a
    // value that is not one.
    keptSound: function() {
      var kept = null;
      try {
        kept = JSON.parse(localStorage.getItem(RallixPage.SETTINGS));
      } catch (e) {
      }
      var volume = kept && typeof kept.volume === 'number' && kept.volume >= 0 &&
        kept.volume <= 100 ? kept.volume : 100;
      var muted = kept && typeof kept.mute === 'boolean' ? kept.mute : false;
      return {volume: volume, muted: muted};
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
        RallixPage.gain = RallixPage.audio.createGain();
        RallixPage.gain.gain.value = RallixPage.gainNow();
        RallixPage.gain.connect(RallixPage.audio.destination);
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
        source.connect(RallixPage.gain);
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
  rallix_page_open: function(mostDemoBytes) {
    var canvas = document.getElementById('screen');
    RallixPage.context = canvas.getContext('2d', {alpha: false});
    RallixPage.image = RallixPage.context.createImageData(RallixPage.width, RallixPage.height);
    RallixPage.line = document.getElementById('status');
    RallixPage.line.textContent = '';
    RallixPage.mostDemoBytes = mostDemoBytes;
    window.addEventListener('keydown', RallixPage.startAudio, true);
    window.addEventListener('pointerup', RallixPage.startAudio, true);
    window.addEventListener('keydown', RallixPage.onKey);
    window.addEventListener('blur', RallixPage.onBlur);
    document.getElementById('pause').addEventListener('click', function(event) {
      event.currentTarget.blur();
      RallixPage.togglePause();
    });
    document.querySelectorAll('[data-key]').forEach(RallixPage.wireControl);
    document.getElementById('record').addEventListener('click', function(event) {
      event.currentTarget.blur();
      RallixPage.onRecord();
    });
    var chooser = document.getElementById('demo-file');
    document.getElementById('play-demo').addEventListener('click', function(event) {
      event.currentTarget.blur();
      chooser.click();
    });
    chooser.addEventListener('change', function() {
      var file = chooser.files && chooser.files[0];
      chooser.value = '';  // the same file may be chosen again
      if (file) RallixPage.chooseDemo(file);
    });
    document.getElementById('screenshot').addEventListener('click', function(event) {
      event.currentTarget.blur();
      RallixPage.askScreenshot();
    });
    document.getElementById('mute').addEventListener('click', function(event) {
      event.currentTarget.blur();
      RallixPage.setSound(RallixPage.volume, !RallixPage.muted);
    });
    var slider = document.getElementById('volume');
    slider.addEventListener('input', function() {
      RallixPage.setSound(Number(slider.value), RallixPage.muted);
    });
    // The slider gives the keys back to the game once it is let go.
    slider.addEventListener('change', function() { slider.blur(); });
    var kept = RallixPage.keptSound();
    RallixPage.setSound(kept.volume, kept.muted);
    Module['rallix'] = {
      passes: function() { return RallixPage.passes; },
      sounds: function() { return RallixPage.sounds.slice(); },
      volume: function() { return RallixPage.gainNow(); },
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
  // A demo just recorded is offered to save meanwhile.
  rallix_page_wait_for_play_again__deps: ['$RallixPage'],
  rallix_page_wait_for_play_again: function() {
    Asyncify.handleSleep(function(wakeUp) {
      RallixPage.setPaused(false);
      RallixPage.request = null;
      RallixPage.showRun('ended');
      var again = document.getElementById('again');
      again.onclick = function() {
        again.onclick = null;
        again.blur();
        RallixPage.stopRequested = false;
        RallixPage.forgetSaved();
        RallixPage.showRun('game');
        // The new game knows of no held key: fingers and pads start afresh.
        RallixPage.onBlur();
        wakeUp();
      };
    });
  },

  // The player's request: 0 when there is none. Of a demo file, `sizes`
  // gets the length of its name in UTF-8 and of its bytes, and the request
  // waits for rallix_page_copy_demo_file; any other is taken at once.
  rallix_page_take_request__deps: ['$RallixPage'],
  rallix_page_take_request: function(sizes) {
    var request = RallixPage.request;
    if (!request) return 0;
    if (request.kind !== RallixPage.PLAY_DEMO) {
      RallixPage.request = null;
    } else {
      HEAP32[sizes >> 2] = lengthBytesUTF8(request.name);
      HEAP32[(sizes >> 2) + 1] = request.bytes.length;
    }
    return request.kind;
  },

  // Copies the demo file's name (with its terminating zero) and bytes into
  // the program's memory, and takes the request.
  rallix_page_copy_demo_file__deps: ['$RallixPage'],
  rallix_page_copy_demo_file: function(name, capacity, bytes) {
    var request = RallixPage.request;
    RallixPage.request = null;
    stringToUTF8(request.name, name, capacity);
    HEAPU8.set(request.bytes, bytes);
  },

  // Whether a picture was asked for since the last call.
  rallix_page_screenshot_wanted__deps: ['$RallixPage'],
  rallix_page_screenshot_wanted: function() {
    var wanted = RallixPage.screenshotWanted;
    RallixPage.screenshotWanted = false;
    return wanted ? 1 : 0;
  },

  // The picture's PNG file, downloaded at once under the moment's name.
  rallix_page_offer_screenshot__deps: ['$RallixPage'],
  rallix_page_offer_screenshot: function(bytes, size) {
    var url = URL.createObjectURL(new Blob([HEAPU8.slice(bytes, bytes + size)],
                                           {type: 'image/png'}));
    var link = document.createElement('a');
    link.href = url;
    link.download = RallixPage.screenshotName(new Date());
    link.click();
    setTimeout(function() { URL.revokeObjectURL(url); }, 60000);
  },

  // A new run: its controls show, and it starts unpaused, with no key held.
  rallix_page_begin_run__deps: ['$RallixPage'],
  rallix_page_begin_run: function(kind) {
    var run = RallixPage.RUNS[kind];
    if (run === 'recording') RallixPage.pieces = [];
    RallixPage.setPaused(false);
    RallixPage.onBlur();
    RallixPage.showRun(run);
  },

  rallix_page_add_demo_piece__deps: ['$RallixPage'],
  rallix_page_add_demo_piece: function(bytes, size) {
    RallixPage.pieces.push(HEAPU8.slice(bytes, bytes + size));
  },

  // The recording, whole, as the target of the Save demo link.
  rallix_page_offer_demo__deps: ['$RallixPage'],
  rallix_page_offer_demo: function() {
    RallixPage.forgetSaved();
    RallixPage.saved = URL.createObjectURL(
        new Blob(RallixPage.pieces, {type: 'application/octet-stream'}));
    RallixPage.pieces = [];
    var save = document.getElementById('save');
    save.href = RallixPage.saved;
    save.download = RallixPage.demoName(new Date());
  },
});
