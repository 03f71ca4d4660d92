// The canvas's pixels as the browser paints them: four bytes a pixel (red,
// green, blue and an opaque alpha), a palette index 0 black and any other
// white. The page shows them without a copy (web/library/canvas.js), so a
// frame's changed rectangles cost one pass over their pixels, here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "display/surface.h"
#include "web/page.h"

namespace rallix::web {

class CanvasPixels {
 public:
  // Takes the rectangles of the frame.
  void Take(const Surface& frame, const std::vector<CanvasRect>& rects);
  // The whole canvas, kScreenWidth x kScreenHeight pixels, row by row.
  const uint8_t* Data() const { return rgba_.get(); }

 private:
  std::unique_ptr<uint8_t[]> rgba_ =
      std::make_unique<uint8_t[]>(size_t{4} * kScreenWidth * kScreenHeight);
};

}  // namespace rallix::web
