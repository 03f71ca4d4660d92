'use strict';
// The line that says the game has stopped, in player's words, naming the file
// at fault: the first failure is shown, and nothing overwrites it, for the
// program, should it run, stops where it stands (Module.rallixHalted, which
// web/library/page.js heeds); and the files the page fetches itself, named
// when one cannot be had. Run first, so that rallix.js missing, cut short or
// changed, which fails as it is read and which its element never reports, is
// named too, and so is index.html: the page's own scripts and style sheet are
// written into it, and one cut short or changed fails there.

var rallixStopped = (function() {
  var told = false;
  function stopped(what) {
    window.Module = window.Module || {};
    Module.rallixHalted = true;
    if (told) return;
    told = true;
    document.getElementById('status').textContent =
      'Rallix has stopped: ' + what + ' Reload the page to try again.';
  }
  var fileOf = function(address) { return (address || '').split('/').pop().split('?')[0]; };
  var page = function(address) { return (address || '').split('#')[0]; };
  // A script that does not parse or stops with an error is named by the error
  // it raises, the page's own by the page's address; one that could not be
  // loaded by its element's error, which reaches the window only on its way
  // down (capture).
  window.addEventListener('error', function(event) {
    var script = event.target instanceof HTMLScriptElement;
    var file = script ? fileOf(event.target.src) :
      event.filename && page(event.filename) === page(document.URL) ? 'index.html' :
      fileOf(event.filename);
    if (!/^(rallix\.js|index\.html)$/.test(file)) return;
    stopped(script ? file + ' could not be loaded.' : rallixDamaged(file));
  }, true);
  // The page's own script or style sheet, changed, is refused by the browser:
  // the page allows each only by its digest.
  window.addEventListener('securitypolicyviolation', function(event) {
    if (event.blockedURI === 'inline') stopped(rallixDamaged('index.html'));
  });
  // The last line of rallix.js marks it whole (page_loaded.js): a file cut
  // short, or changed, runs without reaching it.
  window.addEventListener('load', function(event) {
    if (event.target instanceof HTMLScriptElement && fileOf(event.target.src) === 'rallix.js' &&
        !(window.Module && Module.rallixLoaded)) {
      stopped(rallixDamaged('rallix.js'));
    }
  }, true);
  return stopped;
})();

// What the page says of a file that came cut short or changed.
function rallixDamaged(name) {
  return name + ' is damaged (cut short or changed).';
}

// The response for the file, or an error that names it and why it could
// not be had: "rallix.data could not be loaded (404 Not Found)."
function rallixFetch(name) {
  var failed = function(why) { return new Error(name + ' could not be loaded (' + why + ').'); };
  return fetch(name).then(function(response) {
    if (!response.ok) {
      throw failed(response.status + (response.statusText ? ' ' + response.statusText : ''));
    }
    return response;
  }, function(error) {
    throw failed(error.message);
  });
}
