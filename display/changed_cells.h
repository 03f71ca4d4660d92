// Which parts of the screen a new frame changes, in whole 16 x 16 cells: what
// the window or the canvas must be sent of it.
#pragma once

#include <vector>

#include "display/surface.h"

namespace rallix {

// A run of cells of one row, as a rectangle of the screen in pixels.
struct CellRun {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  friend bool operator==(const CellRun& a, const CellRun& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
  }
};

// The cells whose pixels differ between the frame on screen and the next one:
// one rectangle for each run of neighbouring changed cells in a row, 16 pixels
// high, row by row and left to right. Empty when the frames are equal.
std::vector<CellRun> ChangedCellRuns(const Surface& shown, const Surface& next);

}  // namespace rallix
