#include "display/glyph_origin.h"

namespace rallix {

GlyphPoint GlyphOriginOf(char glyph) {
  if (glyph >= '0' && glyph <= '9')
    return {static_cast<int16_t>(16 * (glyph - '0')), 0};
  if (glyph >= 'A' && glyph <= 'O')
    return {static_cast<int16_t>(16 * (1 + glyph - 'A')), 16};
  if (glyph >= 'P' && glyph <= 'Z')
    return {static_cast<int16_t>(16 * (glyph - 'P')), 32};
  switch (glyph) {
    case '-':
      return {0, 48};
    case '+':
      return {16, 48};
    case '|':
      return {32, 48};
    case '<':
      return {80, 48};
    case '>':
      return {96, 48};
    default:
      return kBlankGlyph;
  }
}

GlyphPoint GlyphOrigin(std::string_view glyph) {
  if (glyph.size() != 1)
    return kBlankGlyph;
  return GlyphOriginOf(glyph.front());
}

}  // namespace rallix
