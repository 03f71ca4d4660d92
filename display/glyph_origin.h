// Where each character's 16 x 16 glyph lies in the glyph sheet.
#pragma once

#include <cstdint>
#include <string_view>

namespace rallix {

struct GlyphPoint {
  int16_t x;
  int16_t y;
};

// The top-left pixel of the glyph's cell in the sheet. The whole string is
// compared: digits, capital letters, "-", "+", "|", "<" and ">" have cells;
// anything else (the empty string, " ", lower case, "AB") is the blank cell.
GlyphPoint GlyphOrigin(std::string_view glyph);

// The same for a single character; '\0' stands for the empty string.
GlyphPoint GlyphOriginOf(char glyph);

constexpr GlyphPoint kBlankGlyph{0, 16};

}  // namespace rallix
