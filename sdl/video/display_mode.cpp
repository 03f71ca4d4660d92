#include "sdl/video/display_mode.h"

#include <algorithm>

#include "base/printable_text.h"
#include "display/surface.h"
#include "sdl/video/window_placement.h"

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

std::string SdlDisplayMode::ScaleNote(int display, const std::string& file) const {
  const int used = WindowSize(display).x / kScreenWidth;
  SDL_Rect usable;
  if (used == options_.scale || SDL_GetDisplayUsableBounds(display, &usable) != 0)
    return {};
  const auto size = [](int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
  };
  const std::string asked =
      file.empty() ? "--scale " + std::to_string(options_.scale)
                   : "scale = " + std::to_string(options_.scale) + " in " + PrintableText(file);
  return "rallix: " + asked + " does not fit the screen (" + size(usable.w, usable.h) +
         " free): the window is " + std::to_string(used) + "x, " +
         size(kScreenWidth * used, kScreenHeight * used);
}

void SdlDisplayMode::Apply(SDL_Window* window) const {
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  if (options_.fullscreen) {
    SDL_Rect screen;
    const bool windowed = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) == 0;
    if (windowed && SDL_GetDisplayBounds(display, &screen) == 0) {
      // A window manager makes the window fill the screen when SDL asks;
      // without one nobody would, so the window first takes the screen's
      // place and size itself, without borders.
      SDL_SetWindowBordered(window, SDL_FALSE);
      SDL_SetWindowPosition(window, screen.x, screen.y);
      SDL_SetWindowSize(window, screen.w, screen.h);
    }
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    return;
  }
  SDL_SetWindowFullscreen(window, 0);
  SDL_SetWindowBordered(window, SDL_TRUE);
  // Back to the window's own size (SDL would keep the screen's), centred.
  const SDL_Point size = WindowSize(display);
  SDL_SetWindowSize(window, size.x, size.y);
  SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                        SDL_WINDOWPOS_CENTERED_DISPLAY(display));
  CentreByFrame(window);
}

}  // namespace rallix
