// Captures of the game's window set against the frames of the headless game:
// pixel comparison, reading the screen back as text, and the frame as a
// picture file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "display/surface.h"
#include "tests/e2e/programs/capture_file.h"

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

// A frame as the window shows it: palette index 0 black, any other white.
RgbImage CaptureOf(const Surface& frame);
// A 640 x 480 capture back in the frame's palette: black 0, white 1 and any
// other colour 2, which no glyph has; `other_colours` counts those pixels.
Surface FrameOf(const RgbImage& capture, long* other_colours = nullptr);

// The text a capture shows, read cell by cell with GlyphAt
// (tests/support/screen_text.h): 30 lines of 40 characters, '?' for a cell
// that shows no glyph exactly (the ball across cells, a colour other than
// black and white). Nothing when the capture is not 640 x 480.
std::vector<std::string> ReadScreen(const RgbImage& capture, const Surface& glyph_sheet);

// A frame as a PNG file of black and white.
std::vector<uint8_t> FramePng(const Surface& frame);

}  // namespace rallix::e2e
