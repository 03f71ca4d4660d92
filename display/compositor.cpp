#include "display/compositor.h"

#include <cstring>

#include "base/checked_math.h"

namespace rallix {
namespace {

constexpr size_t kMostChangedBlocks = 300;

}  // namespace

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
      if (!compose_whole_) {
        background_changes_.push_back({column * kCellSize, row * kCellSize, kCellSize, kCellSize});
        if (background_changes_.size() > kMostChangedBlocks) {
          compose_whole_ = true;  // past a few hundred cells whole copies are cheaper
          background_changes_.clear();
        }
      }
    }
  }
}

void Compositor::ComposeFrame(const TextScreen& screen) {
  const bool whole = compose_whole_;
  // Until this frame is finished, the next one must not rely on it.
  compose_whole_ = true;
  if (whole) {
    BlockCopy(PictureBackSurface, 0, 0, kScreenWidth, kScreenHeight, PictureBackGround, 0, 0);
  } else {
    for (const Block& b : background_changes_)
      BlockCopy(PictureBackSurface, b.x, b.y, b.w, b.h, PictureBackGround, b.x, b.y);
    for (const Block& b : last_sprites_)
      BlockCopy(PictureBackSurface, b.x, b.y, b.w, b.h, PictureBackGround, b.x, b.y);
  }
  sprites_.clear();
  if (screen.CellSpriteCount > 0) {
    for (const SpriteEntry& cell : screen.CellSprites) {
      const int x = Mul16(cell.X, kCellSize);
      const int y = Mul16(cell.Y, kCellSize);
      CopyGlyph(PictureBackSurface, cell.Glyph, x, y);
      sprites_.push_back({x, y, kCellSize, kCellSize});
    }
  }
  if (screen.PixelSpriteCount > 0) {
    for (const SpriteEntry& sprite : screen.PixelSprites) {
      const int x = Sub16(sprite.X, 8);
      const int y = Sub16(sprite.Y, 8);
      CopyGlyph(PictureBackSurface, sprite.Glyph, x, y);
      sprites_.push_back({x, y, kCellSize, kCellSize});
    }
  }
  composed_whole_ = whole;
  composed_blocks_.clear();
  if (whole) {
    BlockCopy(PictureMain, 0, 0, kScreenWidth, kScreenHeight, PictureBackSurface, 0, 0);
  } else {
    for (const std::vector<Block>* blocks : {&background_changes_, &last_sprites_, &sprites_}) {
      for (const Block& b : *blocks)
        BlockCopy(PictureMain, b.x, b.y, b.w, b.h, PictureBackSurface, b.x, b.y);
      composed_blocks_.insert(composed_blocks_.end(), blocks->begin(), blocks->end());
    }
  }
  last_sprites_.swap(sprites_);
  background_changes_.clear();
  compose_whole_ = false;
}

}  // namespace rallix
