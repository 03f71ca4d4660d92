#include "web/changed_cells.h"

#include <cstring>

#include "display/text_screen.h"

namespace rallix::web {
namespace {

bool CellDiffers(const Surface& a, const Surface& b, int column, int row) {
  const int x = column * kCellSize;
  for (int y = row * kCellSize; y < (row + 1) * kCellSize; ++y) {
    if (std::memcmp(a.Row(y) + x, b.Row(y) + x, kCellSize) != 0)
      return true;
  }
  return false;
}

}  // namespace

std::vector<CanvasRect> ChangedCellRuns(const Surface& shown, const Surface& next) {
  std::vector<CanvasRect> runs;
  for (int row = 0; row < kGridRows; ++row) {
    int run_start = -1;
    for (int column = 0; column <= kGridColumns; ++column) {
      const bool changed = column < kGridColumns && CellDiffers(shown, next, column, row);
      if (changed && run_start < 0)
        run_start = column;
      if (!changed && run_start >= 0) {
        runs.push_back(CanvasRect{run_start * kCellSize, row * kCellSize,
                                  (column - run_start) * kCellSize, kCellSize});
        run_start = -1;
      }
    }
  }
  return runs;
}

CanvasRect WholeCanvas() {
  return CanvasRect{0, 0, kScreenWidth, kScreenHeight};
}

}  // namespace rallix::web
