#include "demo/frame_digest.h"

#include <algorithm>
#include <cstring>

namespace rallix {
namespace {

// Whether a cell's row of pixels is the same in both pictures: two 8-byte
// loads each, where a call to memcmp for every row of every cell would cost
// more than the rest of a timed replay.
bool SameRow(const uint8_t* a, const uint8_t* b) {
  static_assert(kCellSize == 16, "a row of a cell is two 8-byte words");
  uint64_t wa[2];
  uint64_t wb[2];
  std::memcpy(wa, a, sizeof wa);
  std::memcpy(wb, b, sizeof wb);
  return wa[0] == wb[0] && wa[1] == wb[1];
}

}  // namespace

void FrameDigest::Add(const Surface& frame) {
  for (int cell = 0; cell < kCells; ++cell)
    AddCell(frame, cell);
  EndFrame();
}

void FrameDigest::Add(const Compositor& pictures) {
  if (pictures.ComposedWhole()) {
    Add(pictures.PictureMain);
    return;
  }
  cells_.clear();
  for (const Compositor::Block& b : pictures.ComposedBlocks()) {
    const int left = std::max(b.x, 0);
    const int top = std::max(b.y, 0);
    const int right = std::min(b.x + b.w, kScreenWidth);  // past the last pixel
    const int bottom = std::min(b.y + b.h, kScreenHeight);
    if (left >= right || top >= bottom)
      continue;
    for (int row = top / kCellSize; row <= (bottom - 1) / kCellSize; ++row) {
      for (int column = left / kCellSize; column <= (right - 1) / kCellSize; ++column) {
        const int cell = row * kGridColumns + column;
        if (!marked_[cell])
          cells_.push_back(cell);
        marked_[cell] = true;
      }
    }
  }
  std::sort(cells_.begin(), cells_.end());
  for (const int cell : cells_) {
    AddCell(pictures.PictureMain, cell);
    marked_[cell] = false;
  }
  EndFrame();
}

void FrameDigest::AddCell(const Surface& frame, int cell) {
  const int x = cell % kGridColumns * kCellSize;
  const int y0 = cell / kGridColumns * kCellSize;
  const Surface& last = last_;  // read, not written, until the cell is known to differ
  int y = y0;
  while (y < y0 + kCellSize && SameRow(frame.Row(y) + x, last.Row(y) + x))
    ++y;
  if (y == y0 + kCellSize)
    return;  // unchanged
  hash_.AddLittleEndian(static_cast<uint64_t>(cell), 2);
  uint8_t* kept = last_.Row(y0) + x;
  for (y = y0; y < y0 + kCellSize; ++y, kept += kScreenWidth) {
    hash_.AddBytes(frame.Row(y) + x, kCellSize);
    std::memcpy(kept, frame.Row(y) + x, kCellSize);
  }
}

void FrameDigest::EndFrame() {
  hash_.AddByte(0xFF);
  hash_.AddByte(0xFF);
  ++frames_;
}

}  // namespace rallix
