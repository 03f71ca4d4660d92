#include "game/pixel_rect.h"

namespace rallix {

int32_t PointInRect(const PixelRect& rect, const PixelPoint& point) {
  return (rect.Left <= point.X && point.X <= rect.Right && rect.Top <= point.Y &&
          point.Y <= rect.Bottom)
             ? 1
             : 0;
}

}  // namespace rallix
