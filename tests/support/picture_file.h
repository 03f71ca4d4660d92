// Picture files read back in the tests, through stb_image (cmake/Stb.cmake).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tools/png_file.h"

namespace rallix::testing {

// The picture a PNG (or BMP) file's bytes hold, as 8-bit RGBA whatever the
// file's own pixel format; nothing when the bytes are neither.
std::optional<art::RgbaImage> DecodePicture(const std::vector<uint8_t>& file);

}  // namespace rallix::testing
