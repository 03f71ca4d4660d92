// Writes uncompressed 8-bit palettised Windows bitmaps.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace rallix::art {

struct Rgb {
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
};

// 256 colours; entries not set are black.
using Palette = std::array<Rgb, 256>;

// A picture of palette indices, rows top-down.
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // width * height indices

  IndexedImage() = default;
  IndexedImage(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0) {}
  uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  void Set(int x, int y, uint8_t index) { pixels[static_cast<size_t>(y) * width + x] = index; }
};

// The whole file: 14-byte file header, 40-byte BITMAPINFOHEADER, 256 palette
// entries, then the rows bottom-up, each padded to a multiple of four bytes.
std::vector<uint8_t> EncodeIndexedBmp(const IndexedImage& image, const Palette& palette);

}  // namespace rallix::art
