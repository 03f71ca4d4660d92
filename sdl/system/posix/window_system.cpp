#include "sdl/system/window_system.h"

#include <SDL.h>

namespace rallix {

void ChooseWindowSystem() {
  // Only a window system will do. Without one SDL would fall back on its
  // invisible off-screen driver, and the game would run where nobody can
  // see or close it. SDL_VIDEODRIVER in the environment still chooses.
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,wayland");
}

void ChooseWindowSurface() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && SDL_strcmp(driver, "x11") == 0)
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

std::string WhereTheDisplayWasLookedFor() {
  std::string where;
  const char* x_display = SDL_getenv("DISPLAY");
  const char* wayland_display = SDL_getenv("WAYLAND_DISPLAY");
  if (x_display != nullptr)
    where += std::string(" DISPLAY=") + x_display;
  if (wayland_display != nullptr)
    where += std::string(" WAYLAND_DISPLAY=") + wayland_display;
  return where.empty() ? " (neither DISPLAY nor WAYLAND_DISPLAY is set)"
                       : " (" + where.substr(1) + ")";
}

}  // namespace rallix
