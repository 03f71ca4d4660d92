#include "tools/glyph_sheet_maker.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "tools/glyph_art.h"

namespace rallix::art {
namespace {

constexpr int kCell = 16;

struct CellOrigin {
  int x;
  int y;
};

// Where a dot-grid character goes. The chevrons appear twice: beside the
// digits and in the row of line glyphs.
std::vector<CellOrigin> DotGlyphCells(char c) {
  if (c >= '0' && c <= '9')
    return {{kCell * (c - '0'), 0}};
  if (c >= 'A' && c <= 'O')
    return {{kCell * (1 + c - 'A'), kCell}};
  if (c >= 'P' && c <= 'Z')
    return {{kCell * (c - 'P'), 2 * kCell}};
  if (c == '<')
    return {{12 * kCell, 0}, {5 * kCell, 3 * kCell}};
  if (c == '>')
    return {{14 * kCell, 0}, {6 * kCell, 3 * kCell}};
  throw std::invalid_argument(std::string("no sheet cell for the glyph '") + c + "'");
}

CellOrigin LineGlyphCell(std::string_view name) {
  const std::pair<std::string_view, int> columns[] = {
      {"-", 0}, {"+", 1}, {"|", 2}, {"corner-right-down", 3}, {"corner-left-down", 4}};
  for (const auto& [known, column] : columns) {
    if (name == known)
      return {kCell * column, 3 * kCell};
  }
  throw std::invalid_argument("no sheet cell for the line glyph \"" + std::string(name) + "\"");
}

bool IsLit(char dot, std::string_view glyph_name) {
  if (dot == '#')
    return true;
  if (dot == '.')
    return false;
  throw std::invalid_argument("the glyph \"" + std::string(glyph_name) +
                              "\" holds a dot that is neither '#' nor '.'");
}

void CheckRowWidth(std::string_view row, size_t width, std::string_view glyph_name) {
  if (row.size() != width) {
    throw std::invalid_argument("a row of the glyph \"" + std::string(glyph_name) + "\" has " +
                                std::to_string(row.size()) + " dots instead of " +
                                std::to_string(width));
  }
}

void DrawDotGlyph(IndexedImage& sheet, const DotGlyph& glyph, CellOrigin cell) {
  const std::string name(1, glyph.character);
  for (int row = 0; row < kDotGridSize; ++row) {
    std::string_view dots = glyph.rows[static_cast<size_t>(row)];
    CheckRowWidth(dots, kDotGridSize, name);
    for (int column = 0; column < kDotGridSize; ++column) {
      if (!IsLit(dots[static_cast<size_t>(column)], name))
        continue;
      const int left = cell.x + kDotGridLeft + kDotSize * column;
      const int top = cell.y + kDotSize * row;
      for (int dy = 0; dy < kDotSize; ++dy) {
        for (int dx = 0; dx < kDotSize; ++dx)
          sheet.Set(left + dx, top + dy, kSheetWhite);
      }
    }
  }
}

void DrawLineGlyph(IndexedImage& sheet, const LineGlyph& glyph, CellOrigin cell) {
  for (int y = 0; y < kLineGlyphSize; ++y) {
    std::string_view pixels = glyph.rows[static_cast<size_t>(y)];
    CheckRowWidth(pixels, kLineGlyphSize, glyph.name);
    for (int x = 0; x < kLineGlyphSize; ++x) {
      if (IsLit(pixels[static_cast<size_t>(x)], glyph.name)) {
        sheet.Set(cell.x + x, cell.y + y, kSheetWhite);
      }
    }
  }
}

}  // namespace

IndexedImage GlyphSheetImage() {
  IndexedImage sheet(kSheetWidth, kSheetHeight);
  for (const DotGlyph& glyph : DotGlyphs()) {
    for (CellOrigin cell : DotGlyphCells(glyph.character))
      DrawDotGlyph(sheet, glyph, cell);
  }
  for (const LineGlyph& glyph : LineGlyphs()) {
    DrawLineGlyph(sheet, glyph, LineGlyphCell(glyph.name));
  }
  return sheet;
}

Palette GlyphSheetPalette() {
  Palette palette{};
  palette[kSheetWhite] = {255, 255, 255};
  return palette;
}

std::vector<uint8_t> GlyphSheetBmp() {
  return EncodeIndexedBmp(GlyphSheetImage(), GlyphSheetPalette());
}

}  // namespace rallix::art
