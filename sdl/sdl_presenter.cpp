#include "sdl/sdl_presenter.h"

#include <array>
#include <cstring>
#include <vector>

#include "sdl/sdl_dirty_cells.h"

namespace rallix {
namespace {

// Copies the pixels in place, so that views of `dest` stay valid.
void CopyPixels(Surface& dest, const Surface& source) {
  for (int y = 0; y < kScreenHeight; ++y)
    std::memcpy(dest.Row(y), source.Row(y), kScreenWidth);
}

}  // namespace

SdlPresenter::SdlPresenter(SDL_Window* window) : window_(window) {
  indexed_ = SDL_CreateRGBSurfaceWithFormatFrom(shown_.Row(0), kScreenWidth, kScreenHeight, 8,
                                                kScreenWidth, SDL_PIXELFORMAT_INDEX8);
  if (indexed_ != nullptr) {
    std::array<SDL_Color, 256> colours;
    colours.fill(SDL_Color{255, 255, 255, 255});
    colours[kBlack] = SDL_Color{0, 0, 0, 255};
    SDL_SetPaletteColors(indexed_->format->palette, colours.data(), 0, 256);
  }
}

SdlPresenter::~SdlPresenter() {
  SDL_FreeSurface(indexed_);
}

void SdlPresenter::Present(const Surface& frame) {
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  if (target != target_)
    whole_next_ = true;
  if (whole_next_) {
    CopyPixels(shown_, frame);
    Show(nullptr, 0);
    return;
  }
  const std::vector<SDL_Rect> rects = ChangedCellRects(shown_, frame);
  if (rects.empty())
    return;
  CopyPixels(shown_, frame);
  Show(rects.data(), static_cast<int>(rects.size()));
}

void SdlPresenter::Repaint() {
  whole_next_ = true;
  Show(nullptr, 0);
}

void SdlPresenter::Show(const SDL_Rect* rects, int count) {
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  target_ = target;
  if (target == nullptr || indexed_ == nullptr)
    return;
  bool sent;
  if (rects == nullptr) {
    sent = SDL_BlitSurface(indexed_, nullptr, target, nullptr) == 0 &&
           SDL_UpdateWindowSurface(window_) == 0;
  } else {
    sent = true;
    for (int i = 0; i < count && sent; ++i) {
      SDL_Rect place = rects[i];
      sent = SDL_BlitSurface(indexed_, &rects[i], target, &place) == 0;
    }
    sent = sent && SDL_UpdateWindowSurfaceRects(window_, rects, count) == 0;
  }
  if (!sent)
    return;  // tried again whole with the next frame
  whole_next_ = false;
  ++frames_shown_;
  if (rects == nullptr)
    ++whole_frames_shown_;
}

}  // namespace rallix
