// The glyph sheet: the 640 x 480 two-colour bitmap every glyph is copied
// from. It is built into the program from assets/glyphs.bmp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "display/surface.h"

namespace rallix {

// Reads an uncompressed 8-bit palettised BMP of 640 x 480 pixels (rows
// bottom-up or top-down). Returns nothing when the bytes are not such a file.
std::optional<Surface> DecodeGlyphBmp(const uint8_t* data, size_t size);

// The sheet built into the program.
const Surface& BuiltInGlyphSheet();

}  // namespace rallix
