#include "display/compositor.h"

#include <cstring>

#include "base/checked_math.h"

namespace rallix {
namespace {

constexpr size_t kMostChangedBlocks = 300;

bool SameWord(const char* a, const char* b) {
  uint64_t wa = 0;
  uint64_t wb = 0;
  std::memcpy(&wa, a, sizeof wa);
  std::memcpy(&wb, b, sizeof wb);
  return wa == wb;
}

}  // namespace

Compositor::Compositor(const Surface& glyph_sheet) : PictureSprite(glyph_sheet) {
  for (size_t code = 0; code < origins_.size(); ++code) {
    origins_[code] = GlyphOriginOf(static_cast<char>(code));
  }
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
  if (drawn_once_ && grid == drawn_)
    return;  // the menus redraw an unchanged grid every frame
  const char* cells = grid.Cells();
  const char* shown = drawn_.Cells();
  static_assert(TextGrid::kCells % 8 == 0, "the grid is whole words of cells");
  for (size_t word = 0; word < TextGrid::kCells; word += 8) {
    // Eight cells at a time over the stretches that hold what they held.
    if (drawn_once_ && SameWord(cells + word, shown + word))
      continue;
    for (size_t index = word; index < word + 8; ++index) {
      const GlyphPoint origin = origins_[static_cast<unsigned char>(cells[index])];
      const GlyphPoint before = origins_[static_cast<unsigned char>(shown[index])];
      if (drawn_once_ && origin.x == before.x && origin.y == before.y)
        continue;
      const int x = static_cast<int>(index % kGridColumns) * kCellSize;
      const int y = static_cast<int>(index / kGridColumns) * kCellSize;
      CopyGlyph(PictureBackGround, cells[index], x, y);
      if (!compose_whole_) {
        background_changes_.push_back({x, y, kCellSize, kCellSize});
        if (background_changes_.size() > kMostChangedBlocks) {
          compose_whole_ = true;  // past a few hundred cells whole copies are cheaper
          background_changes_.clear();
        }
      }
    }
  }
  drawn_ = grid;
  drawn_once_ = true;
  drawn_since_composed_ = true;
}

void Compositor::ComposeFrame(const TextScreen& screen) {
  ComposeFrame(screen.CellSprites, screen.PixelSprites);
}

void Compositor::ComposeFrame(const std::vector<SpriteEntry>& cells,
                              const std::vector<SpriteEntry>& sprites) {
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
  for (const SpriteEntry& cell : cells) {
    const int x = Mul16(cell.X, kCellSize);
    const int y = Mul16(cell.Y, kCellSize);
    CopyGlyph(PictureBackSurface, cell.Glyph, x, y);
    sprites_.push_back({x, y, kCellSize, kCellSize});
  }
  for (const SpriteEntry& sprite : sprites) {
    const int x = Sub16(sprite.X, 8);
    const int y = Sub16(sprite.Y, 8);
    CopyGlyph(PictureBackSurface, sprite.Glyph, x, y);
    sprites_.push_back({x, y, kCellSize, kCellSize});
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
  if (drawn_since_composed_)
    last_.background = drawn_;
  drawn_since_composed_ = false;
  last_.cells = cells;
  last_.sprites = sprites;
  shows_last_ = true;
}

void Compositor::Restore(const TextGrid& drawn, const ComposedFrame& last) {
  RedrawBackground(drawn);
  if (!(last == last_)) {
    last_ = last;
    shows_last_ = false;
  }
  drawn_since_composed_ = !(last_.background == drawn_);
}

void Compositor::ShowLastFrame() {
  // PictureMain shows the frame composed before: the next composition
  // brings over what differs, as it does from frame to frame.
  const TextGrid drawn = drawn_;
  const ComposedFrame last = last_;
  RedrawBackground(last.background);
  ComposeFrame(last.cells, last.sprites);
  RedrawBackground(drawn);
}

}  // namespace rallix
