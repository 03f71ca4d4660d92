#include "tests/e2e/programs/xwd_image.h"

#include <algorithm>
#include <fstream>
#include <map>

namespace rallix::e2e {
namespace {

constexpr uint32_t kZPixmap = 2;
constexpr uint32_t kDirectColor = 5;
constexpr uint32_t kTrueColor = 4;
constexpr size_t kHeaderFields = 25;
constexpr size_t kColourBytes = 12;
constexpr int kMaxSide = 1 << 13;
// The most a capture may hold: a picture of kMaxSide x kMaxSide at 32 bits,
// its header and its colour table. A header that claims more is refused
// before the rest of the file is read.
constexpr uint64_t kMaxCaptureBytes = uint64_t{4} * kMaxSide * kMaxSide + (1 << 20);

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3];
}

// The header's fields that matter here, by their place among its 25 words.
enum HeaderField : size_t {
  kHeaderSize = 0,
  kFileVersion = 1,
  kPixmapFormat = 2,
  kWidth = 4,
  kHeight = 5,
  kByteOrder = 7,
  kBitsPerPixel = 11,
  kBytesPerLine = 12,
  kVisualClass = 13,
  kRedMask = 14,
  kGreenMask = 15,
  kBlueMask = 16,
  kColourCount = 19,
};

struct Header {
  uint32_t header_size, file_version, pixmap_format, width, height, byte_order, bits_per_pixel,
      bytes_per_line, visual_class, red_mask, green_mask, blue_mask, ncolors;
};

struct Rgb16 {
  uint16_t red, green, blue;
};

int Shift(uint32_t mask) {
  int shift = 0;
  while (mask != 0 && (mask & 1) == 0) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}

// A colour component scaled from its mask's width to 8 bits.
uint32_t Scale(uint32_t pixel, uint32_t mask) {
  if (mask == 0)
    return 0;
  const uint32_t value = (pixel & mask) >> Shift(mask);
  const uint32_t max = mask >> Shift(mask);
  return (value * 255 + max / 2) / max;
}

uint32_t ReadPixel(const uint8_t* p, uint32_t bytes, bool msb_first) {
  uint32_t value = 0;
  for (uint32_t i = 0; i < bytes; ++i) {
    const uint32_t byte = p[msb_first ? i : bytes - 1 - i];
    value = value << 8 | byte;
  }
  return value;
}

uint32_t Pack(uint32_t r, uint32_t g, uint32_t b) {
  return r << 16 | g << 8 | b;
}

}  // namespace

bool DecodeXwd(const uint8_t* data, size_t size, RgbImage& image, std::string& error) {
  if (size < kHeaderFields * 4) {
    error = "too short for an xwd header";
    return false;
  }
  uint32_t fields[kHeaderFields];
  for (size_t i = 0; i < kHeaderFields; ++i)
    fields[i] = BigEndian32(data + 4 * i);
  const Header h{fields[kHeaderSize],   fields[kFileVersion],  fields[kPixmapFormat],
                 fields[kWidth],        fields[kHeight],       fields[kByteOrder],
                 fields[kBitsPerPixel], fields[kBytesPerLine], fields[kVisualClass],
                 fields[kRedMask],      fields[kGreenMask],    fields[kBlueMask],
                 fields[kColourCount]};

  if (h.file_version != 7 || h.header_size < kHeaderFields * 4 || h.header_size > size) {
    error = "not an xwd file (version 7)";
    return false;
  }
  if (h.pixmap_format != kZPixmap) {
    error = "only ZPixmap dumps are read";
    return false;
  }
  if (h.width == 0 || h.height == 0 || h.width > kMaxSide || h.height > kMaxSide) {
    error = "implausible picture size";
    return false;
  }
  const uint32_t bpp = h.bits_per_pixel;
  if (bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
    error = "unsupported bits per pixel: " + std::to_string(bpp);
    return false;
  }
  const uint32_t pixel_bytes = bpp / 8;
  if (h.bytes_per_line < h.width * pixel_bytes) {
    error = "rows shorter than the picture";
    return false;
  }
  const size_t colours_at = h.header_size;
  if (h.ncolors > (size - colours_at) / kColourBytes) {
    error = "truncated colour table";
    return false;
  }
  std::map<uint32_t, Rgb16> colours;
  for (uint32_t i = 0; i < h.ncolors; ++i) {
    const uint8_t* c = data + colours_at + kColourBytes * i;
    colours[BigEndian32(c)] =
        Rgb16{static_cast<uint16_t>(c[4] << 8 | c[5]), static_cast<uint16_t>(c[6] << 8 | c[7]),
              static_cast<uint16_t>(c[8] << 8 | c[9])};
  }
  const size_t pixels_at = colours_at + kColourBytes * size_t{h.ncolors};
  const size_t needed = size_t{h.bytes_per_line} * h.height;
  if (size - pixels_at < needed) {
    error = "truncated pixel data";
    return false;
  }

  const bool msb_first = h.byte_order != 0;
  const bool masked = h.visual_class == kTrueColor || h.visual_class == kDirectColor;
  image.width = static_cast<int>(h.width);
  image.height = static_cast<int>(h.height);
  image.pixels.assign(size_t{h.width} * h.height, 0);
  for (uint32_t y = 0; y < h.height; ++y) {
    const uint8_t* row = data + pixels_at + size_t{h.bytes_per_line} * y;
    for (uint32_t x = 0; x < h.width; ++x) {
      const uint32_t pixel = ReadPixel(row + x * pixel_bytes, pixel_bytes, msb_first);
      uint32_t rgb;
      if (masked && h.visual_class == kDirectColor && !colours.empty()) {
        // Each component indexes the colour table on its own.
        auto component = [&](uint32_t mask, uint16_t Rgb16::*channel) -> uint32_t {
          const uint32_t index = (pixel & mask) >> Shift(mask);
          auto found = colours.find(index);
          return found == colours.end() ? Scale(pixel, mask) : (found->second.*channel) >> 8;
        };
        rgb = Pack(component(h.red_mask, &Rgb16::red), component(h.green_mask, &Rgb16::green),
                   component(h.blue_mask, &Rgb16::blue));
      } else if (masked) {
        rgb = Pack(Scale(pixel, h.red_mask), Scale(pixel, h.green_mask), Scale(pixel, h.blue_mask));
      } else {
        auto found = colours.find(pixel);
        if (found == colours.end()) {
          error = "pixel value outside the colour table";
          return false;
        }
        rgb = Pack(found->second.red >> 8, found->second.green >> 8, found->second.blue >> 8);
      }
      image.pixels[size_t{y} * h.width + x] = rgb;
    }
  }
  return true;
}

bool ReadXwdFile(const std::string& path, RgbImage& image, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot open " + path;
    return false;
  }
  // The header first: the file is read no further than it says.
  std::vector<uint8_t> bytes(kHeaderFields * 4);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(file.gcount()));
  if (bytes.size() == kHeaderFields * 4) {
    auto field = [&](size_t i) -> uint64_t { return BigEndian32(bytes.data() + 4 * i); };
    const uint64_t claimed = field(kHeaderSize) + kColourBytes * field(kColourCount) +
                             field(kBytesPerLine) * field(kHeight);
    if (claimed > kMaxCaptureBytes) {
      error = path + ": its header claims " + std::to_string(claimed) +
              " bytes, more than any capture holds";
      return false;
    }
    bytes.resize(std::max<uint64_t>(claimed, bytes.size()));
    file.read(reinterpret_cast<char*>(bytes.data() + kHeaderFields * 4),
              static_cast<std::streamsize>(bytes.size() - kHeaderFields * 4));
    bytes.resize(kHeaderFields * 4 + static_cast<size_t>(file.gcount()));
  }
  if (!DecodeXwd(bytes.data(), bytes.size(), image, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace rallix::e2e
