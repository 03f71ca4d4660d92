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
  if (!SameTarget(SDL_GetWindowSurface(window_)))
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

bool SdlPresenter::SameTarget(const SDL_Surface* target) const {
  return target != nullptr && target == target_ && target->w == target_w_ && target->h == target_h_;
}

void SdlPresenter::Show(const SDL_Rect* rects, int count) {
  // The window surface is made anew whenever the window changes size, and a
  // window manager may give the window any size, whatever the game asked for.
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  if (target == nullptr || indexed_ == nullptr)
    return;
  if (!SameTarget(target))
    rects = nullptr;  // a new surface holds nothing of ours yet
  target_ = target;
  target_w_ = target->w;
  target_h_ = target->h;
  bool sent;
  if (rects == nullptr) {
    // The picture at its own size in the top-left corner; black around it
    // when the window is larger.
    if (target->w > kScreenWidth || target->h > kScreenHeight)
      SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    sent = SDL_BlitSurface(indexed_, nullptr, target, nullptr) == 0 &&
           SDL_UpdateWindowSurface(window_) == 0;
  } else {
    // Only what lies inside the surface is drawn and sent: the window system
    // refuses an update that reaches past the window.
    const SDL_Rect bounds{0, 0, target->w, target->h};
    std::vector<SDL_Rect> inside;
    inside.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      SDL_Rect part;
      if (SDL_IntersectRect(&rects[i], &bounds, &part) == SDL_TRUE)
        inside.push_back(part);
    }
    sent = true;
    for (size_t i = 0; i < inside.size() && sent; ++i) {
      SDL_Rect place = inside[i];
      sent = SDL_BlitSurface(indexed_, &inside[i], target, &place) == 0;
    }
    if (sent && !inside.empty())
      sent = SDL_UpdateWindowSurfaceRects(window_, inside.data(),
                                          static_cast<int>(inside.size())) == 0;
  }
  if (!sent)
    return;  // tried again whole with the next frame
  whole_next_ = false;
  ++frames_shown_;
  if (rects == nullptr)
    ++whole_frames_shown_;
}

}  // namespace rallix
