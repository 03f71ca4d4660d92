// Which parts of the canvas a new frame changes, in whole 16 x 16 cells.
#pragma once

#include <vector>

#include "display/surface.h"
#include "web/page.h"

namespace rallix::web {

// The cells whose pixels differ between the frame on the canvas and the next
// one: one rectangle for each run of neighbouring changed cells in a row,
// 16 pixels high, row by row and left to right. Empty when the frames are
// equal.
std::vector<CanvasRect> ChangedCellRuns(const Surface& shown, const Surface& next);

// The whole canvas as one rectangle.
CanvasRect WholeCanvas();

}  // namespace rallix::web
