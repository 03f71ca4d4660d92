// The canvas: its size, as the program gives it, the frames painted on it,
// and a picture of the game (F12, the Screenshot button) offered as a
// download. Part of the page's script (web/library/page.js).

mergeInto(LibraryManager.library, {
  $RallixCanvas: {
    canvas: null,
    context: null,
    image: null,     // the program's pixels of the canvas (web/canvas_pixels.h)
    screenshotWanted: false,  // F12 or the Screenshot button, not yet taken
    // Work the title need not wait for (the sounds' decoding, the gamepads,
    // the service worker): done once the first frame has been shown, so that
    // the program's start is as short as it can be. Null from then on.
    waiting: [],

    afterTitle: function(work) {
      if (RallixCanvas.waiting) {
        RallixCanvas.waiting.push(work);
      } else {
        setTimeout(work, 0);
      }
    },

    // The canvas takes the program's size. index.html gives it that size
    // already, so that the page is laid out for it before the program
    // runs; should the two differ, the page fits the canvas again.
    open: function(screen) {
      var canvas = RallixCanvas.canvas = document.getElementById('screen');
      if (canvas.width !== screen.width || canvas.height !== screen.height) {
        canvas.width = screen.width;
        canvas.height = screen.height;
        if (Module['rallixFit']) Module['rallixFit']();
      }
      RallixCanvas.context = canvas.getContext('2d', {alpha: false});
    },

    // Rectangles of the program's pixels at `rgba` (`rects`: count times x,
    // y, width, height), painted on the canvas. The pixels are read where
    // they lie in the program's memory, which never moves.
    paint: function(rgba, rects, count) {
      var canvas = RallixCanvas.canvas;
      var image = RallixCanvas.image;
      if (!image || image.data.byteOffset !== rgba || image.data.buffer !== HEAPU8.buffer) {
        image = RallixCanvas.image = new ImageData(
            new Uint8ClampedArray(HEAPU8.buffer, rgba, 4 * canvas.width * canvas.height),
            canvas.width, canvas.height);
      }
      for (var i = 0; i < count; ++i) {
        var r = (rects >> 2) + 4 * i;
        RallixCanvas.context.putImageData(image, 0, 0, HEAP32[r], HEAP32[r + 1], HEAP32[r + 2],
                                          HEAP32[r + 3]);
      }
      var waiting = RallixCanvas.waiting;
      if (!waiting) return;
      RallixCanvas.waiting = null;
      // The browser shows this first frame, then does the work waiting for it.
      requestAnimationFrame(function() {
        setTimeout(function() { waiting.forEach(function(work) { work(); }); }, 0);
      });
    },

    // A file offered as a download at once, under `name`.
    download: function(blob, name) {
      var url = URL.createObjectURL(blob);
      var link = document.createElement('a');
      link.href = url;
      link.download = name;
      link.click();
      setTimeout(function() { URL.revokeObjectURL(url); }, 60000);
    },
  },

  rallix_page_paint__deps: ['$RallixCanvas'],
  rallix_page_paint: function(rgba, rects, count) {
    RallixCanvas.paint(rgba, rects, count);
  },

  // Whether a picture was asked for since the last call.
  rallix_page_screenshot_wanted__deps: ['$RallixCanvas'],
  rallix_page_screenshot_wanted: function() {
    var wanted = RallixCanvas.screenshotWanted;
    RallixCanvas.screenshotWanted = false;
    return wanted ? 1 : 0;
  },

  // The picture's PNG file, downloaded at once under the moment's name,
  // rallix-20250131-235959.png, as the desktop names its own.
  rallix_page_offer_screenshot__deps: ['$RallixCanvas', '$RallixPage'],
  rallix_page_offer_screenshot: function(bytes, size) {
    RallixCanvas.download(new Blob([HEAPU8.slice(bytes, bytes + size)], {type: 'image/png'}),
                          RallixPage.datedName(new Date(), '.png'));
  },
});
