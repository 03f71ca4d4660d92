#include "tests/support/screen_text.h"

#include "display/glyph_origin.h"

namespace rallix::testing {
namespace {

bool SameBlock(const Surface& a, int ax, int ay, const Surface& b, int bx, int by) {
  for (int dy = 0; dy < kCellSize; ++dy) {
    for (int dx = 0; dx < kCellSize; ++dx) {
      if (a.At(ax + dx, ay + dy) != b.At(bx + dx, by + dy))
        return false;
    }
  }
  return true;
}

}  // namespace

Surface PatternedGlyphSheet() {
  Surface sheet;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 256; ++x) {
      const int cell = (y / kCellSize) * 16 + x / kCellSize;  // 0 to 63
      if (x / kCellSize == kBlankGlyph.x / kCellSize &&
          y / kCellSize == kBlankGlyph.y / kCellSize) {
        continue;  // the blank cell stays black, as on the real sheet
      }
      const int inside = (y % kCellSize) * kCellSize + x % kCellSize;
      // 1 + cell at the cell's top-left pixel, so no cell is all 0.
      sheet.Set(x, y, static_cast<uint8_t>(1 + cell + 3 * inside));
    }
  }
  return sheet;
}

char GlyphAt(const Surface& frame, const Surface& sheet, int x, int y) {
  if (SameBlock(frame, x, y, sheet, kBlankGlyph.x, kBlankGlyph.y))
    return ' ';
  for (char ch : kGlyphCharacters) {
    const GlyphPoint origin = GlyphOriginOf(ch);
    if (SameBlock(frame, x, y, sheet, origin.x, origin.y))
      return ch;
  }
  return '?';
}

std::string ScreenText(const Surface& frame, const Surface& sheet, int column, int row,
                       int length) {
  std::string text;
  for (int i = 0; i < length; ++i) {
    text += GlyphAt(frame, sheet, (column + i) * kCellSize, row * kCellSize);
  }
  return text;
}

std::string GridText(const TextGrid& grid, int column, int row, int length) {
  std::string text;
  for (int i = 0; i < length; ++i) {
    const char ch = grid.At(column + i, row);
    text += ch == '\0' ? '.' : ch;
  }
  return text;
}

}  // namespace rallix::testing
