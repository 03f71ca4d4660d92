// A 640 x 480 picture of palette indices (0 black, 1 white), and the one
// opaque block copy that moves pixels between pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rallix {

constexpr int kScreenWidth = 640;
constexpr int kScreenHeight = 480;
constexpr int kCellSize = 16;
constexpr uint8_t kBlack = 0;
constexpr uint8_t kWhite = 1;

class Surface {
 public:
  Surface() : pixels_(static_cast<size_t>(kScreenWidth) * kScreenHeight, kBlack) {}

  uint8_t At(int x, int y) const { return pixels_[Index(x, y)]; }
  void Set(int x, int y, uint8_t value) {
    ++writes_;
    pixels_[Index(x, y)] = value;
  }
  const uint8_t* Row(int y) const { return &pixels_[Index(0, y)]; }
  // A row to write into, at once.
  uint8_t* Row(int y) {
    ++writes_;
    return &pixels_[Index(0, y)];
  }
  void Fill(uint8_t value);
  // How often the picture has been written to (Set, Fill, a row taken to
  // write): while the count stays, so do the pixels, and whoever shows the
  // picture need not look at them again.
  uint64_t Writes() const { return writes_; }

  friend bool operator==(const Surface& a, const Surface& b) { return a.pixels_ == b.pixels_; }
  friend bool operator!=(const Surface& a, const Surface& b) { return !(a == b); }

 private:
  static size_t Index(int x, int y) { return static_cast<size_t>(y) * kScreenWidth + x; }
  std::vector<uint8_t> pixels_;
  uint64_t writes_ = 0;
};

// Copies the w x h block at (sx, sy) of `source` to (dx, dy) of `dest`,
// black included. The block is clipped against both pictures: nothing is read
// from outside the source and nothing is written outside the destination.
void BlockCopy(Surface& dest, int dx, int dy, int w, int h, const Surface& source, int sx, int sy);

}  // namespace rallix
