#include "tools/bmp_file.h"

#include <stdexcept>

#include "tools/byte_writer.h"

namespace rallix::art {

std::vector<uint8_t> EncodeIndexedBmp(const IndexedImage& image, const Palette& palette) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() != static_cast<size_t>(image.width) * image.height) {
    throw std::invalid_argument("a bitmap needs a positive size and one index per pixel");
  }
  constexpr uint32_t kFileHeaderSize = 14;
  constexpr uint32_t kInfoHeaderSize = 40;
  constexpr uint32_t kPaletteSize = 256 * 4;
  constexpr uint32_t kPixelOffset = kFileHeaderSize + kInfoHeaderSize + kPaletteSize;
  constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch
  const uint32_t stride = (static_cast<uint32_t>(image.width) + 3u) & ~3u;
  const uint32_t pixel_bytes = stride * static_cast<uint32_t>(image.height);

  ByteWriter out(kPixelOffset + pixel_bytes);
  out.Bytes("BM");
  out.U32(kPixelOffset + pixel_bytes);
  out.U16(0);
  out.U16(0);
  out.U32(kPixelOffset);

  out.U32(kInfoHeaderSize);
  out.U32(static_cast<uint32_t>(image.width));
  out.U32(static_cast<uint32_t>(image.height));  // positive: rows bottom-up
  out.U16(1);                                    // planes
  out.U16(8);                                    // bits per pixel
  out.U32(0);                                    // no compression
  out.U32(pixel_bytes);
  out.U32(kPixelsPerMetre);
  out.U32(kPixelsPerMetre);
  out.U32(256);  // colours used
  out.U32(0);    // all colours important

  for (const Rgb& colour : palette) {
    out.U8(colour.b);
    out.U8(colour.g);
    out.U8(colour.r);
    out.U8(0);
  }
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x)
      out.U8(image.At(x, y));
    for (uint32_t pad = static_cast<uint32_t>(image.width); pad < stride; ++pad)
      out.U8(0);
  }
  return out.Take();
}

}  // namespace rallix::art
