#include "libretro/core_screen.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace rallix::libretro {

CoreScreen::CoreScreen() : pixels_(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0) {}

void CoreScreen::Present(const Surface& frame, const Compositor* pictures) {
  if (holding_) {
    if (pictures == nullptr) {
      waiting_copy_ = frame;
      waiting_ = &waiting_copy_;
    } else {
      waiting_ = &pictures->PictureMain;  // no pass composes another while the hold lasts
    }
    has_waiting_ = true;
    in_step_ = false;
  } else if (pictures != nullptr) {
    ShowComposed(*pictures);
  } else {
    Show(frame);
  }
}

void CoreScreen::EndHold() {
  holding_ = false;
  if (has_waiting_)
    Show(*waiting_);
  has_waiting_ = false;
}

void CoreScreen::Show(const Surface& frame) {
  ShowBlock(frame, {0, 0, kScreenWidth, kScreenHeight});
  in_step_ = true;
}

void CoreScreen::ShowComposed(const Compositor& pictures) {
  if (!in_step_ || pictures.ComposedWhole()) {
    Show(pictures.PictureMain);
    return;
  }
  // A rally's frame changes a few dozen blocks.
  for (const Compositor::Block& block : pictures.ComposedBlocks())
    ShowBlock(pictures.PictureMain, block);
}

namespace {

bool Same(const uint8_t* a, const uint8_t* b, size_t width) {
  if (width != kCellSize)
    return std::memcmp(a, b, width) == 0;
  // A glyph's width, the usual block: two words each.
  uint64_t wa[2];
  uint64_t wb[2];
  std::memcpy(wa, a, sizeof wa);
  std::memcpy(wb, b, sizeof wb);
  return ((wa[0] ^ wb[0]) | (wa[1] ^ wb[1])) == 0;
}

void ToPixels(const uint8_t* from, size_t width, uint32_t* out) {
  for (size_t x = 0; x < width; ++x)
    out[x] = from[x] == kBlack ? 0x000000u : 0xFFFFFFu;  // palette 0 black, 1 white
}

}  // namespace

void CoreScreen::ShowBlock(const Surface& frame, const Compositor::Block& block) {
  const int left = std::max(block.x, 0);
  const int right = std::min(block.x + block.w, kScreenWidth);
  const int top = std::max(block.y, 0);
  const int bottom = std::min(block.y + block.h, kScreenHeight);
  if (left >= right || top >= bottom)
    return;
  const auto width = static_cast<size_t>(right - left);
  const size_t start = static_cast<size_t>(top) * kScreenWidth + static_cast<size_t>(left);
  const uint8_t* from = frame.Row(0) + start;
  const uint8_t* kept = std::as_const(shown_).Row(0) + start;
  uint8_t* to = nullptr;  // taken when a row differs, as one write of the picture
  for (int y = top; y < bottom; ++y) {
    const size_t at = static_cast<size_t>(y - top) * kScreenWidth;
    if (Same(from + at, kept + at, width))
      continue;
    if (to == nullptr)
      to = shown_.Row(0) + start;
    std::memcpy(to + at, from + at, width);
    ToPixels(from + at, width, &pixels_[start + at]);
  }
}

void CoreScreen::Restore(bool holding, const ComposedFrame& held, bool has_waiting,
                         const Compositor& pictures) {
  holding_ = holding;
  held_ = held;
  has_waiting_ = holding && has_waiting;
  if (has_waiting_) {
    waiting_ = &pictures.PictureMain;
    in_step_ = false;
  }
}

}  // namespace rallix::libretro
