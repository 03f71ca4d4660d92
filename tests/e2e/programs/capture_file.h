// The window tests' captures: a window (or the whole screen) grabbed from
// the X server as it shows, kept as a picture file and read back.
#pragma once

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

// The pixels of the window `window` ("root" for the whole screen, or a
// window's id in decimal or 0x hex) on the X display the environment names,
// as the X server holds them (Xlib's XGetImage). On failure returns false
// and says why in `error`.
bool GrabWindow(const std::string& window, RgbImage& image, std::string& error);

// The picture as the bytes of a BMP file (uncompressed, so that a test
// looking at the window many times a second is not held up by it), and a
// capture file read back (a BMP or PNG file), both through stb.
std::vector<uint8_t> EncodeCapture(const RgbImage& image);
bool ReadCaptureFile(const std::string& path, RgbImage& image, std::string& error);

}  // namespace rallix::e2e
