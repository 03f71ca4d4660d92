// On Windows SDL's own driver is the only window system there is.
#include "sdl/system/window_system.h"

#include <SDL.h>

namespace rallix {

void ChooseWindowSystem() {
  // The window's 640 x 480 are screen pixels on every monitor, whatever its
  // scale setting: Windows would otherwise stretch the picture, blurred, to
  // the setting.
  SDL_SetHint(SDL_HINT_WINDOWS_DPI_AWARENESS, "permonitorv2");
}

void ChooseWindowSurface() {
  // GDI keeps the surface in the game's memory.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

std::string WhereTheDisplayWasLookedFor() {
  return {};
}

}  // namespace rallix
