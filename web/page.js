'use strict';
// The page around the game: loads it and says so when that fails, fits the
// canvas to the window, offers fullscreen, shows the touch controls on a
// touch screen and keeps the site for playing offline. The game's own side
// of the page (canvas, sounds, keys, touch controls, gamepads, pause) is
// page_library.js, inside rallix.js.

var Module = (function() {
  var status = document.getElementById('status');
  var canvas = document.getElementById('screen');
  var stage = document.getElementById('stage');
  var sounds = null;  // the sounds' package, once fetched

  var stopped = rallixStopped;  // page_errors.js

  // The page takes one of two layouts: its title, buttons and lines in a bar
  // over the court, or, when the window is wide, in the margins beside it.
  // It takes the one that shows the game largest (page_fit.js), the bar
  // when both are alike, and the canvas fills the court's area.
  var LAYOUTS = ['bar', 'side'];
  var body = document.body;
  var columns = [document.querySelector('header'), document.querySelector('footer')];
  function takeLayout(name) {
    LAYOUTS.forEach(function(layout) { body.classList.toggle(layout, layout === name); });
  }
  // The margins must hold their text without cutting it off.
  function marginsHold() {
    return columns.every(function(column) { return column.scrollHeight <= column.clientHeight; });
  }
  function fit() {
    var ratio = window.devicePixelRatio || 1;
    var layouts = [];
    LAYOUTS.forEach(function(name) {
      takeLayout(name);
      if (name === 'bar' || marginsHold()) {
        layouts.push({name: name, area: stage.getBoundingClientRect()});
      }
    });
    var chosen = chooseLayout(layouts, canvas.width, canvas.height, ratio);
    takeLayout(chosen.name);
    var shown = fitCanvas(chosen.area, canvas.width, canvas.height, ratio);
    if (!shown) return;
    canvas.style.width = shown.width + 'px';
    canvas.style.height = shown.height + 'px';
    canvas.style.left = shown.left + 'px';
    canvas.style.top = shown.top + 'px';
  }
  // A window moved to a screen of another pixel density fits again, too.
  function watchDensity() {
    var query = window.matchMedia && matchMedia('(resolution: ' + devicePixelRatio + 'dppx)');
    if (!query || !query.addEventListener) return;
    query.addEventListener('change', function() {
      fit();
      watchDensity();
    }, {once: true});
  }
  // The touch controls show on a touch screen, or from the first touch.
  function useTouch() {
    if (body.classList.contains('touch')) return;
    body.classList.add('touch');
    fit();
  }
  if (navigator.maxTouchPoints > 0 || 'ontouchstart' in window) useTouch();
  window.addEventListener('touchstart', useTouch, {passive: true});

  var fullscreen = document.getElementById('fullscreen');
  var root = document.documentElement;
  var enter = root.requestFullscreen || root.webkitRequestFullscreen;
  var leave = document.exitFullscreen || document.webkitExitFullscreen;
  fullscreen.hidden = !enter;
  fullscreen.addEventListener('click', function() {
    fullscreen.blur();
    var asked = document.fullscreenElement || document.webkitFullscreenElement ?
      leave.call(document) : enter.call(root);
    if (asked && asked.catch) asked.catch(function() {});
  });

  // Whatever changes the room the court has fits the canvas again.
  fit();
  watchDensity();
  window.addEventListener('resize', fit);
  window.addEventListener('orientationchange', fit);
  document.addEventListener('fullscreenchange', fit);
  if (window.ResizeObserver) new ResizeObserver(fit).observe(stage);

  // After the first visit the service worker serves the site without a network.
  if ('serviceWorker' in navigator) {
    navigator.serviceWorker.register('service-worker.js').catch(function() {});
  }

  // The sounds are fetched here, before the game's script, so that a missing
  // file is named on the page instead of leaving "Loading..." for ever.
  function load(name) {
    return fetch(name).then(function(response) {
      if (!response.ok) {
        throw new Error(name + ' could not be loaded (' + response.status +
                        (response.statusText ? ' ' + response.statusText : '') + ').');
      }
      return response.arrayBuffer();
    }, function(error) {
      throw new Error(name + ' could not be loaded (' + error.message + ').');
    });
  }
  load('rallix.data').then(function(data) {
    sounds = data;
    var script = document.createElement('script');
    script.src = 'rallix.js';
    script.onerror = function() { stopped('rallix.js could not be loaded.'); };
    // Its last line marks it whole (page_loaded.js): a file cut short, or
    // one that does not parse, runs without reaching it.
    script.onload = function() {
      if (!Module.rallixLoaded) stopped('rallix.js is damaged (cut short or changed).');
    };
    document.body.appendChild(script);
  }).catch(function(error) {
    stopped(error.message);
  });

  return {
    // A missing or broken rallix.wasm, or anything else that stops the
    // program before or while it runs, in a player's words.
    onAbort: function(what) {
      var text = String(what);
      if (/failed to load wasm|fetching of the wasm failed/.test(text)) {
        stopped('rallix.wasm could not be loaded.');
      } else if (/CompileError|LinkError|wasm|magic word/i.test(text)) {
        stopped('rallix.wasm is damaged (cut short or changed).');
      } else {
        stopped('the game could not go on (' + text + ').');
      }
    },
    getPreloadedPackage: function(name, size) {
      if (!sounds || sounds.byteLength !== size) {
        var what = 'rallix.data is damaged (' + (sounds ? sounds.byteLength : 0) + ' bytes, ' +
                   size + ' expected).';
        stopped(what);
        throw new Error(what);
      }
      var data = sounds;
      sounds = null;
      return data;
    },
  };
})();
