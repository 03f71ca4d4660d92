#include "tests/e2e/programs/capture_file.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>
#include <memory>

#include <fstream>
#include <iterator>

#include "tests/support/png_image.h"
#include "tools/png_file.h"

namespace rallix::e2e {
namespace {

// The 8-bit channel that `mask` selects of `pixel`.
uint32_t Channel(unsigned long pixel, unsigned long mask) {
  if (mask == 0)
    return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0)
    ++shift;
  const unsigned long top = mask >> shift;
  return static_cast<uint32_t>(((pixel & mask) >> shift) * 255 / top);
}

}  // namespace

bool GrabWindow(const std::string& window, RgbImage& image, std::string& error) {
  const std::unique_ptr<Display, int (*)(Display*)> display(XOpenDisplay(nullptr), XCloseDisplay);
  if (!display) {
    error = "cannot open the X display";
    return false;
  }
  const Window id = window == "root" ? DefaultRootWindow(display.get())
                                     : std::strtoul(window.c_str(), nullptr, 0);
  XWindowAttributes attributes{};
  if (id == 0 || XGetWindowAttributes(display.get(), id, &attributes) == 0) {
    error = "no window " + window;
    return false;
  }
  XImage* grabbed = XGetImage(display.get(), id, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
  if (grabbed == nullptr) {
    error = "window " + window + " cannot be read (not shown?)";
    return false;
  }
  const Visual* visual = attributes.visual;
  image = RgbImage{attributes.width, attributes.height, {}};
  image.pixels.reserve(static_cast<size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const unsigned long pixel = XGetPixel(grabbed, x, y);
      image.pixels.push_back(Channel(pixel, visual->red_mask) << 16 |
                             Channel(pixel, visual->green_mask) << 8 |
                             Channel(pixel, visual->blue_mask));
    }
  }
  XDestroyImage(grabbed);
  return true;
}

std::vector<uint8_t> EncodeCapturePng(const RgbImage& image) {
  art::RgbaImage rgba{image.width, image.height, {}};
  rgba.rgba.reserve(image.pixels.size() * 4);
  for (const uint32_t pixel : image.pixels) {
    rgba.rgba.insert(rgba.rgba.end(),
                     {static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                      static_cast<uint8_t>(pixel), 255});
  }
  return art::EncodeRgbaPng(rgba);
}

bool ReadCaptureFile(const std::string& path, RgbImage& image, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  const std::optional<art::RgbaImage> png =
      testing::DecodePng({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
  if (!png) {
    error = "cannot read the capture " + path + (in ? ": not a PNG file" : "");
    return false;
  }
  image = RgbImage{png->width, png->height, {}};
  image.pixels.reserve(png->rgba.size() / 4);
  for (size_t at = 0; at < png->rgba.size(); at += 4)
    image.pixels.push_back(uint32_t{png->rgba[at]} << 16 | uint32_t{png->rgba[at + 1]} << 8 |
                           png->rgba[at + 2]);
  return true;
}

}  // namespace rallix::e2e
