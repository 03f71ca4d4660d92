#include "display/surface.h"

#include <algorithm>
#include <cstring>

namespace rallix {

void Surface::Fill(uint8_t value) {
  ++writes_;
  std::fill(pixels_.begin(), pixels_.end(), value);
}

void BlockCopy(Surface& dest, int dx, int dy, int w, int h, const Surface& source, int sx, int sy) {
  // Trim the block wherever either end of the copy lies outside its picture.
  int left_cut = std::max({0, -dx, -sx});
  int top_cut = std::max({0, -dy, -sy});
  dx += left_cut;
  sx += left_cut;
  w -= left_cut;
  dy += top_cut;
  sy += top_cut;
  h -= top_cut;
  w = std::min({w, kScreenWidth - dx, kScreenWidth - sx});
  h = std::min({h, kScreenHeight - dy, kScreenHeight - sy});
  if (w <= 0 || h <= 0)
    return;
  if (&dest == &source) {
    // Within one picture the block may overlap itself: copy the rows in the
    // order that reads every row before it is overwritten.
    for (int i = 0; i < h; ++i) {
      int row = dy > sy ? h - 1 - i : i;
      std::memmove(dest.Row(dy + row) + dx, source.Row(sy + row) + sx, static_cast<size_t>(w));
    }
    return;
  }
  // The rows are taken once, as one write of the picture, and walked.
  uint8_t* to = dest.Row(dy) + dx;
  const uint8_t* from = source.Row(sy) + sx;
  if (w == kScreenWidth) {
    // Whole rows lie end to end: one copy for them all (a whole picture
    // composed is two such copies, where row by row it was 960 calls).
    std::memcpy(to, from, static_cast<size_t>(w) * static_cast<size_t>(h));
    return;
  }
  if (w == kCellSize) {
    // A glyph's width, the usual block: a copy of fixed size, which needs no
    // call to the library per row.
    for (int row = 0; row < h; ++row, to += kScreenWidth, from += kScreenWidth)
      std::memcpy(to, from, kCellSize);
    return;
  }
  for (int row = 0; row < h; ++row, to += kScreenWidth, from += kScreenWidth)
    std::memcpy(to, from, static_cast<size_t>(w));
}

}  // namespace rallix
