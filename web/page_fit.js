'use strict';
// Where the canvas goes in the court's area (page.js): at the largest whole
// scale that fits, or shrunk to fit when not even 1 does, centred, its
// corner on a whole pixel. `area` is the court's box on the page (left, top,
// width, height); the answer is the canvas's box in whole pixels, or null
// while the area is empty.
function fitCanvas(area, width, height) {
  var scale = Math.min(area.width / width, area.height / height);
  if (!(scale > 0)) return null;
  if (scale >= 1) scale = Math.floor(scale);
  var shown = {width: Math.floor(width * scale), height: Math.floor(height * scale)};
  shown.left = Math.round(area.left + (area.width - shown.width) / 2);
  shown.top = Math.round(area.top + (area.height - shown.height) / 2);
  return shown;
}
