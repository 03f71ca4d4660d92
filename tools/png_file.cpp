#include "tools/png_file.h"

#include <stdexcept>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace rallix::art {
namespace {

void Append(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> EncodeRgbaPng(const RgbaImage& image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4) {
    throw std::invalid_argument("a PNG needs a positive size and four bytes per pixel");
  }
  std::vector<uint8_t> png;
  if (stbi_write_png_to_func(Append, &png, image.width, image.height, 4, image.rgba.data(),
                             image.width * 4) == 0) {
    throw std::runtime_error("the PNG could not be written");
  }
  return png;
}

}  // namespace rallix::art
