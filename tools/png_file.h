// Writes PNG files, through stb_image_write (cmake/Stb.cmake).
#pragma once

#include <cstdint>
#include <vector>

namespace rallix::art {

// A picture of 8-bit red, green, blue and alpha values, rows top-down.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // 4 bytes per pixel
};

// The whole file, 8-bit RGBA.
std::vector<uint8_t> EncodeRgbaPng(const RgbaImage& image);

}  // namespace rallix::art
