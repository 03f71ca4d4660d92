// Which parts of the window a new frame changes, in whole 16 x 16 cells.
#pragma once

#include <SDL.h>

#include <vector>

#include "display/surface.h"

namespace rallix {

// The cells whose pixels differ between the frame on screen and the next one,
// as rectangles in the window: each rectangle is a run of neighbouring changed
// cells of one row, 16 pixels high, and rectangles come row by row, left to
// right. Empty when the frames are equal.
std::vector<SDL_Rect> ChangedCellRects(const Surface& shown, const Surface& next);

}  // namespace rallix
