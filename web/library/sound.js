// The sounds: rallix.data, which page.js fetches beside the program
// (Module.rallixSounds, a promise of its bytes), holds the game's WAVE files
// one after another in the order of the program's list; each is decoded
// once, as soon as it is there and the title is shown, so that it is ready
// before the first sound is due. Every sound goes through one gain node,
// the volume. Part of the page's script (web/library/page.js).

mergeInto(LibraryManager.library, {
  $RallixSound: {
    audio: null,     // the audio context, made at the player's first gesture
    gain: null,      // the volume every sound goes through
    level: 1,        // the gain to give it, 0 to 1
    decoded: {},     // file name -> promise of its AudioBuffer, or of null
    source: null,    // the sound playing
    generation: 0,   // raised by every play and stop: a late decode is dropped
    sounds: [],      // {file, how, outcome} of the last sounds asked for

    // The package's files by name, each a whole RIFF file ('RIFF', its
    // length less 8, then the rest); null unless the package is exactly
    // `names.length` of them.
    unpack: function(bytes, names) {
      var view = new DataView(bytes);
      var files = {};
      var at = 0;
      for (var i = 0; i < names.length; ++i) {
        if (at + 8 > bytes.byteLength || view.getUint32(at) !== 0x52494646) return null;
        var end = at + 8 + view.getUint32(at + 4, true);
        if (end > bytes.byteLength) return null;
        files[names[i]] = bytes.slice(at, end);
        at = end;
      }
      return at === bytes.byteLength ? files : null;
    },

    // Decodes every sound of the package once it has come. A package that
    // did not come (page.js has said why) plays nothing; one that is not
    // the program's sounds stops the page.
    open: function(names, packaged) {
      var shown = new Promise(function(resolve) { RallixCanvas.afterTitle(resolve); });
      var files = shown.then(function() { return packaged; }).then(function(bytes) {
        if (!bytes) return null;
        var found = RallixSound.unpack(bytes, names);
        if (!found) Module['rallixStop'](Module['rallixDamaged']('rallix.data'));
        return found;
      }, function() {
        return null;
      });
      names.forEach(function(name) {
        RallixSound.decoded[name] = files.then(function(found) {
          return found ? RallixSound.decode(found[name]) : null;
        });
      });
      return files;
    },

    // The samples of one WAVE file, decoded where no gesture is needed: an
    // offline context's buffers play in any context. Null when the browser
    // cannot decode it.
    decode: function(bytes) {
      var Offline = window.OfflineAudioContext || window.webkitOfflineAudioContext;
      if (!Offline) return Promise.resolve(null);
      return new Promise(function(resolve) {
        // The callback form: older browsers return no promise.
        new Offline(1, 1, 44100).decodeAudioData(bytes, resolve, function() { resolve(null); });
      });
    },

    // The audio context may only start with a user's gesture: the first key
    // press or touch makes it, a later one resumes it if the browser
    // suspended it. A browser without Web Audio, or that refuses a context,
    // plays no sound.
    startAudio: function() {
      if (!RallixSound.audio) {
        var Context = window.AudioContext || window.webkitAudioContext;
        if (!Context) return;
        try {
          RallixSound.audio = new Context();
        } catch (e) {
          return;  // a context refused (too many, or not here): no sound
        }
        RallixSound.gain = RallixSound.audio.createGain();
        RallixSound.gain.gain.value = RallixSound.level;
        RallixSound.gain.connect(RallixSound.audio.destination);
      }
      if (RallixSound.audio.state === 'suspended') {
        // Refused until the next gesture, which asks again.
        RallixSound.audio.resume().catch(function() { return null; });
      }
    },

    // The gain from now on, reached in a few milliseconds' ramp.
    setLevel: function(level) {
      RallixSound.level = level;
      var gain = RallixSound.gain;
      if (!gain) return;
      var now = RallixSound.audio.currentTime;
      gain.gain.cancelScheduledValues(now);
      gain.gain.setTargetAtTime(level, now, 0.004);
    },

    stopSource: function() {
      if (!RallixSound.source) return;
      try {
        RallixSound.source.stop();
      } catch (e) {
        // Older WebKit refuses to stop a source that has ended: it is silent.
      }
      RallixSound.source = null;
    },

    note: function(file, how) {
      var entry = {file: file, how: how, outcome: 'pending'};
      RallixSound.sounds.push(entry);
      if (RallixSound.sounds.length > 50) RallixSound.sounds.shift();
      return entry;
    },

    // Replaces the playing sound with the file's. The promise gives the
    // sound's length in seconds, 0 when nothing plays.
    play: function(file, how) {
      var generation = ++RallixSound.generation;
      var entry = RallixSound.note(file, how);
      RallixSound.stopSource();
      return Promise.resolve(RallixSound.decoded[file]).then(function(buffer) {
        if (!buffer || !RallixSound.audio) {
          entry.outcome = 'silent';
          return 0;
        }
        if (generation !== RallixSound.generation) {
          entry.outcome = 'replaced';
          return 0;
        }
        var source = RallixSound.audio.createBufferSource();
        source.buffer = buffer;
        source.connect(RallixSound.gain);
        source.start();
        RallixSound.source = source;
        entry.outcome = 'played';
        return buffer.duration;
      }).catch(function() {
        // A sound the browser would not start is not heard, and the game
        // held for it goes on.
        entry.outcome = 'silent';
        return 0;
      });
    },

    stop: function() {
      ++RallixSound.generation;
      RallixSound.note('', 'stop').outcome = 'stopped';
      RallixSound.stopSource();
    },
  },

  rallix_page_play_sound__deps: ['$RallixSound'],
  rallix_page_play_sound: function(file) {
    RallixSound.play(UTF8ToString(file), 'async');
  },

  // Holds the game (Asyncify) until the sound has had its length.
  rallix_page_play_sound_to_end__deps: ['$RallixSound'],
  rallix_page_play_sound_to_end: function(file) {
    var name = UTF8ToString(file);
    Asyncify.handleSleep(function(wakeUp) {
      RallixSound.play(name, 'sync').then(function(seconds) {
        setTimeout(wakeUp, seconds * 1000);
      });
    });
  },

  rallix_page_stop_sound__deps: ['$RallixSound'],
  rallix_page_stop_sound: function() {
    RallixSound.stop();
  },
});
