// The pixel art of the glyph sheet, as tables a person can read and edit.
#pragma once

#include <array>
#include <string_view>
#include <vector>

namespace rallix::art {

// A character drawn on a grid of 7 x 7 dots, '#' white and '.' black. Each
// dot becomes a 2 x 2 pixel block, so the grid fills cell columns 2 to 15
// and rows 0 to 13 and leaves the two left columns and the two bottom rows
// black, which spaces neighbouring characters apart.
constexpr int kDotGridSize = 7;
constexpr int kDotSize = 2;
constexpr int kDotGridLeft = 2;  // the cell column where the grid starts

struct DotGlyph {
  char character;
  std::array<std::string_view, kDotGridSize> rows;
};

// A line glyph drawn pixel by pixel over its whole 16 x 16 cell, so that
// runs of them join up across cell borders.
constexpr int kLineGlyphSize = 16;

struct LineGlyph {
  std::string_view name;
  std::array<std::string_view, kLineGlyphSize> rows;
};

// The digits, the capital letters and the chevrons "<" and ">".
std::vector<DotGlyph> DotGlyphs();

// "-", "+", "|" and the two upper box corners, named "corner-right-down"
// (from the centre to the right and down) and "corner-left-down".
std::vector<LineGlyph> LineGlyphs();

}  // namespace rallix::art
