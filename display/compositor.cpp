#include "display/compositor.h"

#include "display/glyph_origin.h"
#include "game/checked_math.h"

namespace rallix {

Compositor::Compositor(const Surface& glyph_sheet) : PictureSprite(glyph_sheet) {}

void Compositor::CopyGlyph(Surface& dest, char glyph, int x, int y) {
  GlyphPoint origin = GlyphOriginOf(glyph);
  BlockCopy(dest, x, y, kCellSize, kCellSize, PictureSprite, origin.x, origin.y);
}

void Compositor::RedrawBackground(const TextGrid& grid) {
  for (int column = 0; column < kGridColumns; ++column) {
    for (int row = 0; row < kGridRows; ++row) {
      CopyGlyph(PictureBackGround, grid.At(column, row), column * kCellSize, row * kCellSize);
    }
  }
}

void Compositor::ComposeFrame(const TextScreen& screen) {
  BlockCopy(PictureBackSurface, 0, 0, kScreenWidth, kScreenHeight, PictureBackGround, 0, 0);
  if (screen.CellSpriteCount > 0) {
    for (const SpriteEntry& cell : screen.CellSprites) {
      CopyGlyph(PictureBackSurface, cell.Glyph, Mul16(cell.X, kCellSize),
                Mul16(cell.Y, kCellSize));
    }
  }
  if (screen.PixelSpriteCount > 0) {
    for (const SpriteEntry& sprite : screen.PixelSprites) {
      CopyGlyph(PictureBackSurface, sprite.Glyph, Sub16(sprite.X, 8), Sub16(sprite.Y, 8));
    }
  }
  BlockCopy(PictureMain, 0, 0, kScreenWidth, kScreenHeight, PictureBackSurface, 0, 0);
}

}  // namespace rallix
