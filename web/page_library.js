// The page side of the browser build: the canvas, the sounds and the line
// under the canvas. Linked into rallix.js with --js-library; the C++ side
// calls the rallix_page_* functions (web/emscripten_page.cpp).
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
    window.addEventListener('keydown', RallixPage.startAudio, true);
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

  rallix_page_has_focus: function() {
    return document.hasFocus() ? 1 : 0;
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
});
