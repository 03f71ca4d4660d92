// Captures of the game's window set against the frames of the headless game:
// pixel comparison and reading the screen back as text.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "display/surface.h"
#include "tests/e2e/xwd_image.h"

namespace rallix::e2e {

// How a capture differs from a frame (palette index 0 black, others white).
struct FrameDifference {
  bool size_differs = false;
  long pixels = 0;  // pixels of another colour
  int first_x = -1;
  int first_y = -1;
  // The cells (column, row) holding at least one differing pixel.
  std::vector<std::pair<int, int>> cells;

  bool Same() const { return !size_differs && pixels == 0; }
};

FrameDifference CompareWithFrame(const RgbImage& capture, const Surface& frame);

// The 640 x 480 picture a capture shows at `scale` times its size with its
// top-left corner at (x, y): each picture pixel must be an exact block of
// one colour and everything around the picture black. Otherwise false, and
// `why` says where it is not so.
bool PictureIn(const RgbImage& capture, int scale, int x, int y, RgbImage& picture,
               std::string& why);
// Where `frame` shows exactly in `capture` at `scale` times its size (each
// of its pixels an exact block), whatever lies around it, as on a desktop:
// the top-left corner of the first such place, row by row from the top, or
// nothing.
std::optional<std::pair<int, int>> FindFrame(const RgbImage& capture, const Surface& frame,
                                             int scale);
// One or more lines for a person: sizes, the count, the first pixel, cells.
std::string Describe(const FrameDifference& difference, const RgbImage& capture,
                     const Surface& frame);

// The character each 16 x 16 cell shows, found by comparing the cell with
// every glyph of the sheet. The sheet's glyphs are the game's characters
// ("0"-"9", "A"-"Z", "-", "+", "|", "<", ">") and the blank cell, read as ' '.
class ScreenReader {
 public:
  explicit ScreenReader(const Surface& glyph_sheet);

  // 30 lines of 40 characters; a cell that shows no glyph exactly (the ball
  // across cells, a colour other than black and white) is '?'. The capture
  // must be 640 x 480: otherwise nothing is returned.
  std::vector<std::string> Read(const RgbImage& capture) const;
  // The character of the cell at (column, row), or '?'.
  char ReadCell(const RgbImage& capture, int column, int row) const;

  // The characters whose glyphs look the same as an earlier one's in the
  // sheet, and so cannot be told apart on screen.
  const std::string& Ambiguous() const { return ambiguous_; }

 private:
  struct Glyph {
    char character;
    uint8_t bits[kCellSize][kCellSize];  // 1 where white
  };
  std::vector<Glyph> glyphs_;
  std::string ambiguous_;
};

}  // namespace rallix::e2e
