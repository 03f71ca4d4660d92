'use strict';
// The page around the game: compiles the program's WebAssembly and fetches
// its sounds while its script loads (index.html starts all three at once),
// says so when one cannot be had, fits the canvas and its marks to the
// window, offers fullscreen, shows the touch controls on a touch screen and,
// once the page has loaded, keeps the site for playing offline. It runs at
// the end of the page, before the page is first drawn (the rel="expect" link
// in index.html), so that the page is laid out once, as it stays, while the
// program's files are still on their way. The game's own side of the page is
// web/library/, inside rallix.js.

var Module = (function() {
  // What the program finds at start: on what page_errors.js may have noted.
  var module = window.Module || {};
  var stop = rallixStopped;  // page_errors.js
  module.rallixStop = stop;
  module.rallixDamaged = rallixDamaged;

  // The WebAssembly, compiled as it arrives and made the program's when
  // rallix.js asks for it. A server that does not call it application/wasm
  // gets it compiled once it is all here.
  var damaged = new Error(rallixDamaged('rallix.wasm'));
  var compiled = rallixFetch('rallix.wasm').then(function(response) {
    var streamed = WebAssembly.compileStreaming ?
      WebAssembly.compileStreaming(response.clone()) : Promise.reject(null);
    return streamed.catch(function() {
      return response.arrayBuffer().then(function(bytes) { return WebAssembly.compile(bytes); });
    }).catch(function() {
      throw damaged;
    });
  });
  module.instantiateWasm = function(imports, ready) {
    compiled.then(function(wasm) {
      return WebAssembly.instantiate(wasm, imports).catch(function() {
        throw damaged;
      });
    }).then(function(instance) { ready(instance); }, function(error) { stop(error.message); });
    return {};
  };
  // The sounds: the title needs none, and they are here and decoded before
  // the first sound is due (web/library/sound.js).
  module.rallixSounds = rallixFetch('rallix.data').then(function(response) {
    return response.arrayBuffer();
  });
  module.rallixSounds.catch(function(error) { stop(error.message); });
  // Anything else that stops the program while it runs, in a player's words.
  module.onAbort = function(what) {
    stop('the game could not go on (' + what + ').');
  };

  // The page takes one of two layouts: its title, buttons and lines in a bar
  // over the court, or, when the window is wide, in the margins beside it.
  // It takes the one that shows the game largest (page_fit.js), the bar
  // when both are alike, and the canvas fills the court's area.
  var canvas = document.getElementById('screen');
  var stage = document.getElementById('stage');
  var marks = document.getElementById('marks');
  var LAYOUTS = ['bar', 'side'];
  var body = document.body;
  var columns = [document.querySelector('header'), document.querySelector('footer')];
  var fitted = '';  // the court's size the canvas was last fitted to
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
    // The margins show the game no larger than the whole window would: where
    // the bar shows it that large already, they are not tried (a try lays
    // the page out once more before it is first drawn).
    var whole = {left: 0, top: 0, width: window.innerWidth, height: window.innerHeight};
    var largest = deviceScale(whole, canvas.width, canvas.height, ratio);
    LAYOUTS.some(function(name) {
      takeLayout(name);
      if (name === 'bar' || marginsHold()) {
        layouts.push({name: name, area: stage.getBoundingClientRect()});
      }
      return largest > 0 &&
        deviceScale(layouts[0].area, canvas.width, canvas.height, ratio) >= largest;
    });
    var chosen = chooseLayout(layouts, canvas.width, canvas.height, ratio);
    takeLayout(chosen.name);
    fitted = chosen.area.width + 'x' + chosen.area.height;
    var shown = fitCanvas(chosen.area, canvas.width, canvas.height, ratio);
    if (!shown) return;
    canvas.style.width = shown.width + 'px';
    canvas.style.height = shown.height + 'px';
    canvas.style.left = shown.left + 'px';
    canvas.style.top = shown.top + 'px';
    // "Muted" and the volume in the court's top right corner, where the
    // game draws nothing.
    marks.style.left = shown.left + shown.width + 'px';
    marks.style.top = shown.top + 'px';
  }
  module.rallixFit = fit;
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
  if (navigator.maxTouchPoints > 0 || 'ontouchstart' in window) body.classList.add('touch');
  window.addEventListener('touchstart', function() {
    if (body.classList.contains('touch')) return;
    body.classList.add('touch');
    fit();
  }, {passive: true});

  var fullscreen = document.getElementById('fullscreen');
  var root = document.documentElement;
  var enter = root.requestFullscreen || root.webkitRequestFullscreen;
  var leave = document.exitFullscreen || document.webkitExitFullscreen;
  fullscreen.hidden = !enter;
  fullscreen.addEventListener('click', function() {
    fullscreen.blur();
    var asked = document.fullscreenElement || document.webkitFullscreenElement ?
      leave.call(document) : enter.call(root);
    // A refusal (no gesture, a frame that may not) leaves the page as it is.
    if (asked && asked.catch) asked.catch(function() { return null; });
  });

  // Whatever changes the room the court has fits the canvas again.
  fit();
  watchDensity();
  window.addEventListener('resize', fit);
  window.addEventListener('orientationchange', fit);
  document.addEventListener('fullscreenchange', fit);
  if (window.ResizeObserver) {
    new ResizeObserver(function(entries) {
      var box = entries[entries.length - 1].contentRect;
      if (box.width + 'x' + box.height !== fitted) fit();
    }).observe(stage);
  }

  // After the first visit the service worker serves the site without a
  // network. It stores the files this visit fetched, so it starts once they
  // are all here (the page has loaded) and, not to hold up the title, once
  // it is shown (web/library/canvas.js); a browser that refuses it only
  // goes without.
  module.rallixAfterTitle = function() {
    if (!('serviceWorker' in navigator)) return;
    var register = function() {
      navigator.serviceWorker.register('service-worker.js').catch(function() { return null; });
    };
    if (document.readyState === 'complete') register();
    else window.addEventListener('load', register);
  };
  return module;
})();
