// A 64-bit digest of the frames a game showed, one after the other, the same
// on every machine: two runs have the same digest when they showed the same
// pictures in the same order (a timed replay prints it).
//
// It is FNV-1a (demo/fnv1a.h) over, for each frame, every 16 x 16 cell whose
// pixels differ from the frame before (the first frame is compared with an
// all-black one), in the order of the cells' index, row x 40 + column: the
// index as two bytes, least significant first, then the cell's 256 palette
// indices row by row; and after the frame's cells the two bytes FF FF. So it
// pins every pixel of every frame while hashing only what changed.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "demo/fnv1a.h"
#include "display/compositor.h"
#include "display/surface.h"
#include "display/text_screen.h"

namespace rallix {

class FrameDigest {
 public:
  // The next frame, compared cell by cell with the last one.
  void Add(const Surface& frame);
  // The compositor's PictureMain as the next frame, compared only where its
  // last ComposeFrame may have changed it: for a digest that is given every
  // frame the compositor composes, as fast as the compositor itself.
  void Add(const Compositor& pictures);

  uint64_t Value() const { return hash_.Value(); }
  int64_t Frames() const { return frames_; }

 private:
  static constexpr int kCells = kGridColumns * kGridRows;

  void AddCell(const Surface& frame, int cell);
  void EndFrame();

  Surface last_;
  Fnv1a64 hash_;
  int64_t frames_ = 0;
  std::array<bool, kCells> marked_{};
  std::vector<int> cells_;
};

}  // namespace rallix
