// Pixel rectangles and points of the court, and the test the rally uses to
// find whether the ball has struck a paddle.
#pragma once

#include <cstdint>

namespace rallix {

// A rectangle of pixels; all four edges belong to it.
struct PixelRect {
  int32_t Left = 0;
  int32_t Top = 0;
  int32_t Right = 0;
  int32_t Bottom = 0;
};

struct PixelPoint {
  int32_t X = 0;
  int32_t Y = 0;
};

// 1 when the point lies in the rectangle, edges included, else 0.
int32_t PointInRect(const PixelRect& rect, const PixelPoint& point);

}  // namespace rallix
