// The four pictures of the window and the operations that turn the text grid
// and the sprite queues into a finished frame.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "display/glyph_origin.h"
#include "display/surface.h"
#include "display/text_screen.h"

namespace rallix {

// A frame as the compositor composed it: the grid its background showed and
// the queued cells and pixel sprites drawn over it, in their order. The
// picture follows from them, so it is composed again from them.
struct ComposedFrame {
  TextGrid background;
  std::vector<SpriteEntry> cells;
  std::vector<SpriteEntry> sprites;
  friend bool operator==(const ComposedFrame& a, const ComposedFrame& b) {
    return a.background == b.background && a.cells == b.cells && a.sprites == b.sprites;
  }
};

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
  // Only the blocks that can differ from the last frame are copied (the
  // background's changed cells and the sprites of this frame and the last);
  // the pictures are the same as if the whole surfaces had been copied.
  void ComposeFrame(const TextScreen& screen);
  void ComposeFrame(const std::vector<SpriteEntry>& cells, const std::vector<SpriteEntry>& sprites);

  // What the pictures follow from: the grid the background last drew (an
  // empty grid, all blank, before the first) and the last frame composed
  // (the empty frame before the first).
  const TextGrid& Drawn() const { return drawn_; }
  const ComposedFrame& LastFrame() const { return last_; }
  // The pictures as they were when Drawn() and LastFrame() were these. The
  // background is drawn at once; PictureMain shows the last frame once
  // ShowLastFrame composes it again, unless ComposeFrame composes the next
  // first.
  void Restore(const TextGrid& drawn, const ComposedFrame& last);
  bool ShowsLastFrame() const { return shows_last_; }
  void ShowLastFrame();

  // A rectangle of pixels, which may reach past the picture's edges.
  struct Block {
    int x, y, w, h;
  };
  // Where the last ComposeFrame may have changed PictureMain: all of it when
  // ComposedWhole(), else only inside ComposedBlocks(). What a frame's
  // digest needs to look at.
  bool ComposedWhole() const { return composed_whole_; }
  const std::vector<Block>& ComposedBlocks() const { return composed_blocks_; }

  // Written only by the compositor's own operations.
  Surface PictureMain;
  Surface PictureBackSurface;
  Surface PictureBackGround;
  Surface PictureSprite;

 private:
  // Copies the glyph's 16 x 16 block from the sheet to (x, y) of dest,
  // clipped where it lies partly outside.
  void CopyGlyph(Surface& dest, char glyph, int x, int y);

  // GlyphOriginOf for every character, worked out once.
  std::array<GlyphPoint, 256> origins_;
  // The grid PictureBackGround shows, once it has been drawn.
  TextGrid drawn_;
  bool drawn_once_ = false;
  // The last frame composed; its background is the grid drawn unless the
  // background was drawn anew since.
  ComposedFrame last_;
  bool drawn_since_composed_ = false;
  bool shows_last_ = true;
  // What ComposeFrame must bring over besides this frame's sprites: the
  // background cells rendered anew since the last frame and the last frame's
  // sprites. `compose_whole_` asks for whole-surface copies instead (the first
  // frame, many changed cells, or a frame that was not finished).
  std::vector<Block> background_changes_;
  std::vector<Block> last_sprites_;
  std::vector<Block> sprites_;
  bool compose_whole_ = true;
  bool composed_whole_ = true;
  std::vector<Block> composed_blocks_;
};

}  // namespace rallix
