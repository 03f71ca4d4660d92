#include "sdl/sdl_display_mode.h"

#include <algorithm>

#include "display/surface.h"

namespace rallix {
namespace {

// The largest whole scale at which the picture fits `width` x `height`; 0
// when it does not fit even at 1x.
int FittingScale(int width, int height) {
  return std::min(width / kScreenWidth, height / kScreenHeight);
}

}  // namespace

PicturePlace PlacePicture(int width, int height) {
  PicturePlace place;
  place.scale = std::max(1, FittingScale(width, height));
  place.x = std::max(0, (width - kScreenWidth * place.scale) / 2);
  place.y = std::max(0, (height - kScreenHeight * place.scale) / 2);
  return place;
}

SDL_Point SdlDisplayMode::WindowSize(int display) const {
  int scale = options_.scale;
  SDL_Rect usable;
  if (scale > 1 && SDL_GetDisplayUsableBounds(display, &usable) == 0)
    scale = std::max(1, std::min(scale, FittingScale(usable.w, usable.h)));
  return SDL_Point{kScreenWidth * scale, kScreenHeight * scale};
}

Uint32 SdlDisplayMode::WindowFlags() const {
  return options_.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
}

void SdlDisplayMode::Apply(SDL_Window* window) const {
  if (options_.fullscreen) {
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    return;
  }
  SDL_SetWindowFullscreen(window, 0);
  // SDL may keep the whole screen's size for the window it gives back.
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  const SDL_Point size = WindowSize(display);
  SDL_SetWindowSize(window, size.x, size.y);
}

}  // namespace rallix
