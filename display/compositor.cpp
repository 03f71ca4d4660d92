#include "display/compositor.h"

#include <cstring>

#include "game/checked_math.h"

namespace rallix {

Compositor::Compositor(const Surface& glyph_sheet) : PictureSprite(glyph_sheet) {
  for (size_t code = 0; code < origins_.size(); ++code) {
    origins_[code] = GlyphOriginOf(static_cast<char>(code));
  }
  background_cells_.fill(-1);
}

void Compositor::CopyGlyph(Surface& dest, char glyph, int x, int y) {
  const GlyphPoint origin = origins_[static_cast<unsigned char>(glyph)];
  if (x < 0 || y < 0 || x > kScreenWidth - kCellSize || y > kScreenHeight - kCellSize) {
    BlockCopy(dest, x, y, kCellSize, kCellSize, PictureSprite, origin.x, origin.y);
    return;
  }
  // Every grid cell and almost every sprite lies wholly inside the picture:
  // sixteen fixed-size row copies, with no clipping to work out.
  const uint8_t* from = PictureSprite.Row(origin.y) + origin.x;
  uint8_t* to = dest.Row(y) + x;
  for (int row = 0; row < kCellSize; ++row) {
    std::memcpy(to, from, kCellSize);
    from += kScreenWidth;
    to += kScreenWidth;
  }
}

void Compositor::RedrawBackground(const TextGrid& grid) {
  size_t index = 0;
  for (int column = 0; column < kGridColumns; ++column) {
    for (int row = 0; row < kGridRows; ++row, ++index) {
      const char glyph = grid.At(column, row);
      const GlyphPoint origin = origins_[static_cast<unsigned char>(glyph)];
      const auto sheet_cell =
          static_cast<int16_t>(origin.y / kCellSize * 16 + origin.x / kCellSize);
      if (background_cells_[index] == sheet_cell)
        continue;
      CopyGlyph(PictureBackGround, glyph, column * kCellSize, row * kCellSize);
      background_cells_[index] = sheet_cell;
    }
  }
}

void Compositor::ComposeFrame(const TextScreen& screen) {
  BlockCopy(PictureBackSurface, 0, 0, kScreenWidth, kScreenHeight, PictureBackGround, 0, 0);
  if (screen.CellSpriteCount > 0) {
    for (const SpriteEntry& cell : screen.CellSprites) {
      CopyGlyph(PictureBackSurface, cell.Glyph, Mul16(cell.X, kCellSize), Mul16(cell.Y, kCellSize));
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
