// The four pictures of the window and the operations that turn the text grid
// and the sprite queues into a finished frame.
#pragma once

#include <array>
#include <string_view>

#include "display/glyph_origin.h"
#include "display/surface.h"
#include "display/text_screen.h"

namespace rallix {

class Compositor {
 public:
  // The sheet is copied into PictureSprite; the other pictures start black.
  explicit Compositor(const Surface& glyph_sheet);

  // Renders all 1200 cells of the grid into PictureBackGround, column by
  // column. A cell whose glyph is already there is left as it is, so a screen
  // that redraws an unchanged grid every frame costs next to nothing; the
  // picture is the same as if every cell had been copied.
  void RedrawBackground(const TextGrid& grid);

  // Composes the frame into PictureBackSurface (background, then the queued
  // cells, then the queued pixel sprites, each queue in its order) and copies
  // it to PictureMain. The caller shows PictureMain and empties the queues.
  void ComposeFrame(const TextScreen& screen);

  Surface PictureMain;
  Surface PictureBackSurface;
  Surface PictureBackGround;  // written only by RedrawBackground
  Surface PictureSprite;

 private:
  // Copies the glyph's 16 x 16 block from the sheet to (x, y) of dest,
  // clipped where it lies partly outside.
  void CopyGlyph(Surface& dest, char glyph, int x, int y);

  // GlyphOriginOf for every character, worked out once.
  std::array<GlyphPoint, 256> origins_;
  // The sheet cell (16 x sheet row + sheet column) each grid cell of
  // PictureBackGround shows, or -1 before its first render.
  std::array<int16_t, kGridColumns * kGridRows> background_cells_;
};

}  // namespace rallix
