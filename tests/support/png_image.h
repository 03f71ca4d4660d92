// PNG files read back in the tests, through stb_image (cmake/Stb.cmake).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "tools/png_file.h"

namespace rallix::testing {

// The picture the PNG file's bytes hold, as 8-bit RGBA whatever the file's
// own format; nothing when the bytes are not a PNG file.
std::optional<art::RgbaImage> DecodePng(const std::vector<uint8_t>& png);

}  // namespace rallix::testing
