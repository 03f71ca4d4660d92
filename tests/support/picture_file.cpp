#include "tests/support/picture_file.h"

#include <limits>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#include <stb_image.h>

namespace rallix::testing {

std::optional<art::RgbaImage> DecodePicture(const std::vector<uint8_t>& file) {
  if (file.empty() || file.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
    return std::nullopt;
  int width = 0;
  int height = 0;
  int channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width,
                                          &height, &channels, 4);
  if (pixels == nullptr)
    return std::nullopt;
  art::RgbaImage image{width, height, {}};
  image.rgba.assign(pixels, pixels + static_cast<size_t>(width) * height * 4);
  stbi_image_free(pixels);
  return image;
}

}  // namespace rallix::testing
