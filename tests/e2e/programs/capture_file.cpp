#include "tests/e2e/programs/capture_file.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "tests/support/picture_file.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace rallix::e2e {
namespace {

// The 8-bit value of the channel a visual's mask selects.
class Channel {
 public:
  explicit Channel(unsigned long mask) : mask_(mask) {
    while (mask_ != 0 && ((mask_ >> shift_) & 1) == 0)
      ++shift_;
    top_ = mask_ >> shift_;
  }
  uint32_t Of(unsigned long pixel) const {
    return top_ == 0 ? 0 : static_cast<uint32_t>(((pixel & mask_) >> shift_) * 255 / top_);
  }

 private:
  unsigned long mask_;
  int shift_ = 0;
  unsigned long top_ = 0;
};

// X errors are answered here instead of ending the program: a window that
// changes its size between the look at its size and the grab (going to the
// whole screen), or one not yet shown whole (just mapped, under Wine), makes
// the grab fail, and it is tried again.
int NoteError(Display* /*display*/, XErrorEvent* /*event*/) {
  return 0;
}

// The window's picture, at its size of the moment; null when it cannot be
// read for two seconds.
XImage* GrabOnce(Display* display, Window id, XWindowAttributes& attributes) {
  for (int attempt = 0; attempt < 200; ++attempt) {
    if (XGetWindowAttributes(display, id, &attributes) == 0)
      return nullptr;
    XImage* grabbed = XGetImage(display, id, 0, 0, static_cast<unsigned>(attributes.width),
                                static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (grabbed != nullptr)
      return grabbed;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return nullptr;
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
  XSetErrorHandler(NoteError);
  XWindowAttributes attributes{};
  XImage* grabbed = id == 0 ? nullptr : GrabOnce(display.get(), id, attributes);
  if (grabbed == nullptr) {
    error = "window " + window + " cannot be read (gone, or not shown?)";
    return false;
  }
  const Channel red(attributes.visual->red_mask);
  const Channel green(attributes.visual->green_mask);
  const Channel blue(attributes.visual->blue_mask);
  image = RgbImage{attributes.width, attributes.height, {}};
  image.pixels.reserve(static_cast<size_t>(image.width) * image.height);
  // Xvfb's 24-bit screens hold 32 bits a pixel in the machine's own order:
  // read those straight from the rows; anything else pixel by pixel.
  const bool direct = grabbed->bits_per_pixel == 32 && grabbed->byte_order == LSBFirst;
  for (int y = 0; y < image.height; ++y) {
    const char* row = grabbed->data + static_cast<ptrdiff_t>(y) * grabbed->bytes_per_line;
    for (int x = 0; x < image.width; ++x) {
      uint32_t word = 0;
      if (direct)
        std::memcpy(&word, row + 4 * static_cast<ptrdiff_t>(x), 4);
      const unsigned long pixel = direct ? word : XGetPixel(grabbed, x, y);
      image.pixels.push_back(red.Of(pixel) << 16 | green.Of(pixel) << 8 | blue.Of(pixel));
    }
  }
  XDestroyImage(grabbed);
  return true;
}

std::vector<uint8_t> EncodeCapture(const RgbImage& image) {
  std::vector<uint8_t> rgb;
  rgb.reserve(image.pixels.size() * 3);
  for (const uint32_t pixel : image.pixels) {
    rgb.insert(rgb.end(), {static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                           static_cast<uint8_t>(pixel)});
  }
  std::vector<uint8_t> bmp;
  stbi_write_bmp_to_func(
      [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<uint8_t>*>(context);
        out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
      },
      &bmp, image.width, image.height, 3, rgb.data());
  return bmp;
}

bool ReadCaptureFile(const std::string& path, RgbImage& image, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  const std::optional<art::RgbaImage> picture = testing::DecodePicture(
      {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
  if (!picture) {
    error = "cannot read the capture " + path + (in ? ": not a picture file" : "");
    return false;
  }
  image = RgbImage{picture->width, picture->height, {}};
  image.pixels.reserve(picture->rgba.size() / 4);
  for (size_t at = 0; at < picture->rgba.size(); at += 4)
    image.pixels.push_back(uint32_t{picture->rgba[at]} << 16 |
                           uint32_t{picture->rgba[at + 1]} << 8 | picture->rgba[at + 2]);
  return true;
}

}  // namespace rallix::e2e
