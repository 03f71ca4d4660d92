// Finding the ball in a capture of the window. The ball is the "O" glyph
// copied whole (its black pixels included) at any pixel position, so it is
// found by its 16 x 16 block rather than cell by cell.
#pragma once

#include <vector>

#include "display/surface.h"
#include "tests/e2e/programs/capture_file.h"

namespace rallix::e2e {

// A place where the capture shows the ball: the point the game queued, which
// is the top-left pixel of the glyph's block plus 8 on each axis.
struct BallSighting {
  int x = 0;
  int y = 0;
  friend bool operator==(const BallSighting& a, const BallSighting& b) {
    return a.x == b.x && a.y == b.y;
  }
};

class BallFinder {
 public:
  explicit BallFinder(const Surface& glyph_sheet);

  // Every position where the "O" block shows exactly, in reading order. A
  // block cut by the capture's edge counts when at least half of it lies
  // inside along each axis. An "O" printed in a cell (a message such as
  // "GAME OVER") is found as well; the caller tells them apart.
  std::vector<BallSighting> Find(const RgbImage& capture) const;

 private:
  bool ShowsBallAt(const RgbImage& capture, int left, int top) const;

  uint32_t block_[kCellSize][kCellSize];  // the glyph's colours
};

}  // namespace rallix::e2e
