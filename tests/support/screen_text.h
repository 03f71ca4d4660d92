// Reading the screen back as text: readers that name the character shown in a
// cell of a frame (by the glyph sheet it was drawn with: the game's own, whose
// glyphs all differ, or a patterned one) or held in a cell of the grid. The
// one set of readers for every test.
#pragma once

#include <string>
#include <string_view>

#include "display/surface.h"
#include "display/text_screen.h"

namespace rallix::testing {

// Every character the sheet has a glyph for.
constexpr std::string_view kGlyphCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-+|<>";

// A sheet in which every 16 x 16 cell of the glyph area (the top-left 256 x 64
// pixels) holds its own pattern, different at every pixel position of the
// cell from every other cell, except the blank cell, which is black (0) like
// the rest of the sheet. No real art is needed to tell which cell a block was
// copied from.
Surface PatternedGlyphSheet();

// The character whose glyph fills the 16 x 16 block at pixel (x, y) of frame:
// ' ' for the blank cell, '?' when the block matches no glyph of the sheet.
char GlyphAt(const Surface& frame, const Surface& sheet, int x, int y);

// The characters shown in `length` cells of a row of the frame, from `column` on.
std::string ScreenText(const Surface& frame, const Surface& sheet, int column, int row, int length);

// The characters held in `length` cells of a row of the grid, from `column`
// on; an empty cell reads as '.'. Every test reads the grid through it.
std::string GridText(const TextGrid& grid, int column, int row, int length);

}  // namespace rallix::testing
