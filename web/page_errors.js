'use strict';
// The line that says the game has stopped, in player's words, naming the file
// at fault: the first failure is shown, and nothing overwrites it. Loaded
// first, so that a page script that is cut short or changed, which fails as
// it is read and which its element never reports, is named too.

var rallixStopped = (function() {
  var told = false;
  function stopped(what) {
    if (told) return;
    told = true;
    document.getElementById('status').textContent =
      'Rallix has stopped: ' + what + ' Reload the page to try again.';
  }
  window.addEventListener('error', function(event) {
    var file = (event.filename || '').split('/').pop().split('?')[0];
    if (/^(page_fit|page|rallix)\.js$/.test(file)) {
      stopped(file + ' is damaged (cut short or changed).');
    }
  });
  return stopped;
})();
