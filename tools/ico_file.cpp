#include "tools/ico_file.h"

#include <stdexcept>

#include "tools/byte_writer.h"

namespace rallix::art {
namespace {

constexpr uint32_t kDirectorySize = 6;
constexpr uint32_t kEntrySize = 16;
constexpr uint32_t kInfoHeaderSize = 40;

uint32_t Stride(int width, int bits_per_pixel) {
  return (static_cast<uint32_t>(width) * static_cast<uint32_t>(bits_per_pixel) + 31u) / 32u * 4u;
}

// The bitmap of an icon: a BITMAPINFOHEADER of twice the height (the colour
// rows, then the mask's), the palette, the colour rows bottom-up, and the
// 1-bit mask bottom-up, a set bit where the picture is see-through.
std::vector<uint8_t> IconBitmap(const IcoImage& image, const Palette& palette) {
  const IndexedImage& picture = image.indexed;
  if (picture.width <= 0 || picture.width > 255 || picture.height != picture.width ||
      picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height) {
    throw std::invalid_argument("an indexed icon is square, 1 to 255 pixels wide");
  }
  const uint32_t colour_stride = Stride(picture.width, 8);
  const uint32_t mask_stride = Stride(picture.width, 1);
  const auto height = static_cast<uint32_t>(picture.height);
  ByteWriter out;
  out.U32(kInfoHeaderSize);
  out.U32(static_cast<uint32_t>(picture.width));
  out.U32(2 * height);
  out.U16(1);  // planes
  out.U16(8);  // bits per pixel
  out.U32(0);  // no compression
  out.U32((colour_stride + mask_stride) * height);
  out.U32(0);
  out.U32(0);
  out.U32(256);  // colours used
  out.U32(0);
  for (const Rgb& colour : palette) {
    out.U8(colour.b);
    out.U8(colour.g);
    out.U8(colour.r);
    out.U8(0);
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x)
      out.U8(picture.At(x, y));
    for (uint32_t pad = static_cast<uint32_t>(picture.width); pad < colour_stride; ++pad)
      out.U8(0);
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(mask_stride, 0);
    for (int x = 0; x < picture.width; ++x) {
      if (picture.At(x, y) == image.transparent)
        row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    out.Bytes(row);
  }
  return out.Take();
}

}  // namespace

std::vector<uint8_t> EncodeIco(const std::vector<IcoImage>& images, const Palette& palette) {
  if (images.empty() || images.size() > 0xFFFF)
    throw std::invalid_argument("an icon file holds 1 to 65535 pictures");
  std::vector<std::vector<uint8_t>> bodies;
  bodies.reserve(images.size());
  for (const IcoImage& image : images)
    bodies.push_back(image.png.empty() ? IconBitmap(image, palette) : image.png);

  ByteWriter out;
  out.U16(0);
  out.U16(1);  // an icon, not a cursor
  out.U16(static_cast<uint16_t>(images.size()));
  auto offset = static_cast<uint32_t>(kDirectorySize + kEntrySize * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const IcoImage& image = images[i];
    const int size = image.png.empty() ? image.indexed.width : image.png_size;
    if (size <= 0 || size > 256)
      throw std::invalid_argument("an icon picture is 1 to 256 pixels wide");
    out.U8(static_cast<uint8_t>(size % 256));  // 0 stands for 256
    out.U8(static_cast<uint8_t>(size % 256));
    out.U8(0);  // 256 colours or more
    out.U8(0);
    out.U16(1);                           // planes
    out.U16(image.png.empty() ? 8 : 32);  // bits per pixel
    out.U32(static_cast<uint32_t>(bodies[i].size()));
    out.U32(offset);
    offset += static_cast<uint32_t>(bodies[i].size());
  }
  for (const std::vector<uint8_t>& body : bodies)
    out.Bytes(body);
  return out.Take();
}

}  // namespace rallix::art
