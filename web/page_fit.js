'use strict';
// Where the canvas goes (page.js), reckoned in the screen's own pixels.
// `area` is a box on the page (left, top, width, height) in CSS pixels,
// `ratio` the screen's device pixels per CSS pixel (devicePixelRatio).

// The size of one game pixel, in device pixels. The largest size the area
// allows is the largest whole scale in CSS pixels, or, where not even 1
// fits, all the area has. A whole number of device pixels per game pixel
// draws every game pixel the same width: the largest that fits is taken
// when it keeps at least 80% of that size; otherwise the larger picture is
// kept (a phone held upright needs every pixel of its width). 0 while the
// area is empty.
function deviceScale(area, width, height, ratio) {
  var fits = Math.min(area.width / width, area.height / height);
  if (!(fits > 0)) return 0;
  var largest = (fits >= 1 ? Math.floor(fits) : fits) * ratio;
  var whole = Math.floor(fits * ratio + 1e-9);
  return whole >= 1 && whole >= 0.8 * largest ? whole : largest;
}

// The canvas's box for the area at deviceScale, centred, its sides on whole
// device pixels: in CSS pixels (left, top, width, height) and, as `device`,
// in device pixels; null while the area is empty.
function fitCanvas(area, width, height, ratio) {
  ratio = ratio || 1;
  var scale = deviceScale(area, width, height, ratio);
  if (!scale) return null;
  var device = {width: Math.floor(width * scale + 1e-9), height: Math.floor(height * scale + 1e-9)};
  device.left = Math.round(area.left * ratio + (area.width * ratio - device.width) / 2);
  device.top = Math.round(area.top * ratio + (area.height * ratio - device.height) / 2);
  return {scale: scale, left: device.left / ratio, top: device.top / ratio,
          width: device.width / ratio, height: device.height / ratio, device: device};
}

// Of the layouts the page can take, each with the court's area it leaves
// ({name, area}), the one that shows the game largest; the first of equals.
function chooseLayout(layouts, width, height, ratio) {
  var best = null;
  var bestScale = 0;
  layouts.forEach(function(layout) {
    var scale = deviceScale(layout.area, width, height, ratio || 1);
    if (!best || scale > bestScale) {
      best = layout;
      bestScale = scale;
    }
  });
  return best;
}
