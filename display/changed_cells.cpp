#include "display/changed_cells.h"

#include <cstring>

#include "display/text_screen.h"

namespace rallix {
namespace {

bool CellDiffers(const Surface& a, const Surface& b, int column, int row) {
  const int x = column * kCellSize;
  for (int y = row * kCellSize; y < (row + 1) * kCellSize; ++y) {
    if (std::memcmp(a.Row(y) + x, b.Row(y) + x, kCellSize) != 0)
      return true;
  }
  return false;
}

// A row of cells is 16 whole pixel rows, which lie one after the other.
bool RowDiffers(const Surface& a, const Surface& b, int row) {
  return std::memcmp(a.Row(row * kCellSize), b.Row(row * kCellSize),
                     static_cast<size_t>(kScreenWidth) * kCellSize) != 0;
}

}  // namespace

std::vector<CellRun> ChangedCellRuns(const Surface& shown, const Surface& next) {
  std::vector<CellRun> runs;
  for (int row = 0; row < kGridRows; ++row) {
    if (!RowDiffers(shown, next, row))
      continue;
    int run_start = -1;
    for (int column = 0; column <= kGridColumns; ++column) {
      const bool changed = column < kGridColumns && CellDiffers(shown, next, column, row);
      if (changed && run_start < 0)
        run_start = column;
      if (!changed && run_start >= 0) {
        runs.push_back(CellRun{run_start * kCellSize, row * kCellSize,
                               (column - run_start) * kCellSize, kCellSize});
        run_start = -1;
      }
    }
  }
  return runs;
}

}  // namespace rallix
