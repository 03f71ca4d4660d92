// The player's comforts kept for the next visit: the volume (0 to 100) and
// the mute, set by M, the Mute button and the slider, heard at once, shown
// by the controls and by the marks in the court's corner ("Muted", and for a
// moment after a change the volume), and kept in the page's localStorage.
// Part of the page's script (web/library/page.js).

mergeInto(LibraryManager.library, {
  $RallixSettings__deps: ['$RallixSound'],
  $RallixSettings: {
    KEPT: 'rallix.settings',
    MARK_MS: 1500,   // how long the volume shows after a change
    volume: 100,
    muted: false,
    markTimer: 0,

    // What the last visit kept; the game's own sound without it, or with a
    // value that is not one.
    open: function() {
      var kept = null;
      try {
        kept = JSON.parse(localStorage.getItem(RallixSettings.KEPT));
      } catch (e) {
        kept = null;  // storage refused to this page, or not JSON: nothing kept
      }
      var volume = kept && typeof kept.volume === 'number' && kept.volume >= 0 &&
        kept.volume <= 100 ? kept.volume : 100;
      var muted = kept && typeof kept.mute === 'boolean' ? kept.mute : false;
      RallixSettings.set(volume, muted, true);
    },

    gain: function() {
      return RallixSettings.muted ? 0 : RallixSettings.volume / 100;
    },

    // `opening`: the page opening with what was kept, which shows no mark
    // and keeps nothing (a first visit writes nothing).
    set: function(volume, muted, opening) {
      volume = Math.max(0, Math.min(100, Math.round(volume)));
      var changed = volume !== RallixSettings.volume;
      RallixSettings.volume = volume;
      RallixSettings.muted = !!muted;
      RallixSound.setLevel(RallixSettings.gain());
      document.getElementById('volume').value = String(volume);
      document.getElementById('mute').textContent = RallixSettings.muted ? 'Unmute' : 'Mute';
      document.getElementById('muted').hidden = !RallixSettings.muted;
      if (opening) return;
      if (changed) RallixSettings.showVolume();
      try {
        localStorage.setItem(RallixSettings.KEPT,
            JSON.stringify({volume: volume, mute: RallixSettings.muted}));
      } catch (e) {
        // Storage refused (a private window, no room): kept for this visit.
      }
    },

    showVolume: function() {
      var mark = document.getElementById('volume-mark');
      mark.textContent = 'Volume ' + RallixSettings.volume;
      mark.hidden = false;
      clearTimeout(RallixSettings.markTimer);
      RallixSettings.markTimer = setTimeout(function() { mark.hidden = true; },
                                            RallixSettings.MARK_MS);
    },
  },
});
