// The game's side of the page, linked into rallix.js with --js-library: what
// the program tells the page at start-up (web/page_facts.h), the runs and
// the controls that work in each, the pause, the page's own keys, the line
// under the canvas and Play again. Each other concern has a file beside
// this one: the canvas (canvas.js), the sounds (sound.js), the touch
// controls and gamepads (input.js), the demos (demos.js) and the volume and
// mute kept for the next visit (settings.js). The C++ side calls the
// rallix_page_* functions (web/emscripten_page.cpp); the page around the
// game is web/page.js.
//
// The page keeps a few figures for anyone who looks (the browser test does):
// Module.rallix.passes() counts the passes of the frame loop, .sounds() lists
// the last sounds asked for, .volume() the volume the sounds are played at
// (0 to 1, 0 while muted), and .stop() asks the game to stop.

mergeInto(LibraryManager.library, {
  $RallixPage__deps: ['$RallixCanvas', '$RallixSound', '$RallixInput', '$RallixDemos',
    '$RallixSettings'],
  $RallixPage: {
    facts: null,
    passes: 0,
    stopRequested: false,
    line: null,
    run: 'game',     // the run going on ('game', 'recording', 'demo'), or 'ended'
    paused: false,

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
          (id === 'save' && !RallixDemos.saved);
      });
      document.getElementById('record').textContent =
        run === 'recording' ? 'Stop and save' : 'Record';
    },

    setPaused: function(paused) {
      RallixPage.paused = paused;
      document.getElementById('paused').hidden = !paused;
      document.getElementById('pause').textContent = paused ? 'Resume' : 'Pause';
    },

    // Pause, a request and a picture are for a game that runs: once it has
    // ended only Play again starts a run.
    togglePause: function() {
      if (RallixPage.run !== 'ended') RallixPage.setPaused(!RallixPage.paused);
    },
    ask: function(request) {
      if (RallixPage.run !== 'ended') RallixDemos.request = request;
    },
    askScreenshot: function() {
      if (RallixPage.run !== 'ended') RallixCanvas.screenshotWanted = true;
    },
    onRecord: function() {
      var requests = RallixPage.facts.requests;
      RallixPage.ask({kind: RallixPage.run === 'recording' ? requests.stopRecording :
        requests.record});
    },

    // P pauses and goes on, M mutes and unmutes, F12 takes a picture; the
    // keys are the page's, not the game's.
    onKey: function(event) {
      if (event.repeat || event.ctrlKey || event.altKey || event.metaKey) return;
      if (event.code === 'KeyP') {
        RallixPage.togglePause();
      } else if (event.code === 'KeyM') {
        RallixSettings.set(RallixSettings.volume, !RallixSettings.muted);
      } else if (event.code === 'F12') {
        event.preventDefault();
        RallixPage.askScreenshot();
      }
    },

    // A button's action; the button gives the keys back to the game.
    onClick: function(id, action) {
      document.getElementById(id).addEventListener('click', function(event) {
        event.currentTarget.blur();
        action();
      });
    },

    // The name a file offered is saved under, from its moment:
    // rallix-20250131-235959 and the extension.
    datedName: function(date, extension) {
      var two = function(number) { return (number < 10 ? '0' : '') + number; };
      return 'rallix-' + date.getFullYear() + two(date.getMonth() + 1) + two(date.getDate()) +
        '-' + two(date.getHours()) + two(date.getMinutes()) + two(date.getSeconds()) + extension;
    },
  },

  // `facts`: the program's facts, a JSON object (web/page_facts.h).
  rallix_page_open__deps: ['$RallixPage'],
  rallix_page_open: function(facts) {
    facts = RallixPage.facts = JSON.parse(UTF8ToString(facts));
    RallixPage.line = document.getElementById('status');
    // A page that has stopped already keeps saying why.
    if (!Module['rallixHalted']) RallixPage.line.textContent = '';
    RallixCanvas.open(facts.screen);
    if (Module['rallixAfterTitle']) RallixCanvas.afterTitle(Module['rallixAfterTitle']);
    RallixSound.open(facts.sounds, Module['rallixSounds']);
    RallixInput.open(facts);
    RallixDemos.open(facts);
    RallixSettings.open();
    window.addEventListener('keydown', RallixSound.startAudio);
    window.addEventListener('pointerup', RallixSound.startAudio);
    window.addEventListener('keydown', RallixPage.onKey);
    window.addEventListener('blur', RallixInput.letGoAll);
    RallixPage.onClick('pause', RallixPage.togglePause);
    RallixPage.onClick('record', RallixPage.onRecord);
    var chooser = document.getElementById('demo-file');
    RallixPage.onClick('play-demo', function() { chooser.click(); });
    chooser.addEventListener('change', function() {
      var file = chooser.files && chooser.files[0];
      chooser.value = '';  // the same file may be chosen again
      if (file) RallixDemos.choose(file, RallixPage.ask);
    });
    RallixPage.onClick('screenshot', RallixPage.askScreenshot);
    RallixPage.onClick('mute', function() {
      RallixSettings.set(RallixSettings.volume, !RallixSettings.muted);
    });
    var slider = document.getElementById('volume');
    slider.addEventListener('input', function() {
      RallixSettings.set(Number(slider.value), RallixSettings.muted);
    });
    // The slider gives the keys back to the game once it is let go.
    slider.addEventListener('change', function() { slider.blur(); });
    Module['rallix'] = {
      passes: function() { return RallixPage.passes; },
      sounds: function() { return RallixSound.sounds.slice(); },
      volume: function() { return RallixSettings.gain(); },
      stop: function() { RallixPage.stopRequested = true; },
    };
  },

  // 0 when the page asked the game to stop. A page that has stopped (a
  // file it needs is missing) ends the program where it stands, as
  // emscripten's own programs that live on end theirs.
  rallix_page_begin_pass__deps: ['$RallixPage'],
  rallix_page_begin_pass: function() {
    if (Module['rallixHalted']) throw 'unwind';
    ++RallixPage.passes;
    return RallixPage.stopRequested ? 0 : 1;
  },

  rallix_page_in_front__deps: ['$RallixPage'],
  rallix_page_in_front: function() {
    return document.hasFocus() && !RallixPage.paused ? 1 : 0;
  },

  rallix_page_show_line__deps: ['$RallixPage'],
  rallix_page_show_line: function(text) {
    RallixPage.line.textContent = UTF8ToString(text);
  },

  // A new run: its controls show, and it starts unpaused, with no key held.
  rallix_page_begin_run__deps: ['$RallixPage'],
  rallix_page_begin_run: function(kind) {
    var runs = RallixPage.facts.runs;
    var run = Object.keys(runs).filter(function(name) { return runs[name] === kind; })[0];
    if (run === 'recording') RallixDemos.pieces = [];
    RallixPage.setPaused(false);
    RallixInput.letGoAll();
    RallixPage.showRun(run);
  },

  // Holds the program (Asyncify) until the play-again button is pressed.
  // A demo just recorded is offered to save meanwhile.
  rallix_page_wait_for_play_again__deps: ['$RallixPage'],
  rallix_page_wait_for_play_again: function() {
    Asyncify.handleSleep(function(wakeUp) {
      RallixPage.setPaused(false);
      RallixDemos.request = null;
      RallixPage.showRun('ended');
      var again = document.getElementById('again');
      again.onclick = function() {
        again.onclick = null;
        again.blur();
        RallixPage.stopRequested = false;
        RallixDemos.forgetSaved();
        RallixPage.showRun('game');
        // The new game knows of no held key: fingers and pads start afresh.
        RallixInput.letGoAll();
        wakeUp();
      };
    });
  },
});
