// ModMain: the program's start and the free function of the rally's paddle test.
#pragma once

#include <cstdint>

#include "game/platform.h"

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

// Loads the window's game and runs the frame loop until the program ends.
// Returns the exit status: 0 when the window was closed or "QUIT GAME"
// chosen; 1 after a run-time error the loop did not trap (or any other
// failure), which is reported through the platform first.
int Main(Platform& platform);

}  // namespace rallix
