#include "web/canvas_pixels.h"

namespace rallix::web {

void CanvasPixels::Take(const Surface& frame, const std::vector<CanvasRect>& rects) {
  for (const CanvasRect& rect : rects) {
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
      const uint8_t* from = frame.Row(y) + rect.x;
      uint8_t* to = &rgba_[4 * (static_cast<size_t>(y) * kScreenWidth + rect.x)];
      for (int x = 0; x < rect.width; ++x, to += 4) {
        const uint8_t level = from[x] == kBlack ? 0 : 255;
        to[0] = level;
        to[1] = level;
        to[2] = level;
        to[3] = 255;
      }
    }
  }
}

}  // namespace rallix::web
