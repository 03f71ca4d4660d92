// Reading the window captures that `xwd` writes (X Window Dump files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rallix::e2e {

// A picture as 8-bit RGB, 0xRRGGBB per pixel, row by row from the top.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

constexpr uint32_t kRgbBlack = 0x000000;
constexpr uint32_t kRgbWhite = 0xFFFFFF;

// Decodes a ZPixmap dump of 8, 16, 24 or 32 bits per pixel, true colour,
// direct colour (through its colour table) or palettised. On failure returns
// false and says why in `error`.
bool DecodeXwd(const uint8_t* data, size_t size, RgbImage& image, std::string& error);

// Reads and decodes the file.
bool ReadXwdFile(const std::string& path, RgbImage& image, std::string& error);

}  // namespace rallix::e2e
