#include "display/frame_png.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace rallix {
namespace {

void Append(void* context, void* data, int size) {
  auto* out = static_cast<std::vector<uint8_t>*>(context);
  const auto* bytes = static_cast<const uint8_t*>(data);
  out->insert(out->end(), bytes, bytes + size);
}

}  // namespace

std::vector<uint8_t> EncodeFramePng(const Surface& frame) {
  std::vector<uint8_t> grey(static_cast<size_t>(kScreenWidth) * kScreenHeight);
  for (int y = 0; y < kScreenHeight; ++y) {
    const uint8_t* row = frame.Row(y);
    uint8_t* out = &grey[static_cast<size_t>(y) * kScreenWidth];
    for (int x = 0; x < kScreenWidth; ++x)
      out[x] = row[x] == kBlack ? 0 : 255;
  }
  std::vector<uint8_t> png;
  // stb fails only when it cannot allocate, which throws here first.
  stbi_write_png_to_func(Append, &png, kScreenWidth, kScreenHeight, 1, grey.data(), kScreenWidth);
  return png;
}

}  // namespace rallix
