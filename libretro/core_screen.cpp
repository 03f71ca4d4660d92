#include "libretro/core_screen.h"

#include <cstring>

namespace rallix::libretro {

CoreScreen::CoreScreen() : pixels_(static_cast<size_t>(kScreenWidth) * kScreenHeight, 0) {}

void CoreScreen::Present(const Surface& frame) {
  if (holding_) {
    waiting_ = frame;
    has_waiting_ = true;
  } else {
    Show(frame);
  }
}

void CoreScreen::EndHold() {
  holding_ = false;
  if (has_waiting_)
    Show(waiting_);
  has_waiting_ = false;
}

void CoreScreen::Show(const Surface& frame) {
  // Only the rows that differ are converted: a rally changes a few dozen.
  for (int y = 0; y < kScreenHeight; ++y) {
    const uint8_t* from = frame.Row(y);
    uint8_t* to = shown_.Row(y);
    if (std::memcmp(from, to, kScreenWidth) == 0)
      continue;
    std::memcpy(to, from, kScreenWidth);
    uint32_t* out = &pixels_[static_cast<size_t>(y) * kScreenWidth];
    for (int x = 0; x < kScreenWidth; ++x)
      out[x] = from[x] == kBlack ? 0x000000u : 0xFFFFFFu;  // palette 0 black, 1 white
  }
}

void CoreScreen::Restore(const Surface& shown, bool holding, bool has_waiting,
                         const Surface& waiting) {
  Show(shown);
  holding_ = holding;
  has_waiting_ = holding && has_waiting;
  waiting_ = waiting;
}

}  // namespace rallix::libretro
