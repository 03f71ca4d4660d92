// The window's icons where only SDL's one icon per window is at hand.
#include "sdl/video/window_icon.h"

namespace rallix {

void SetWindowIcons(SDL_Window* window, const std::vector<SDL_Surface*>& icons) {
  if (!icons.empty())
    SDL_SetWindowIcon(window, icons.front());
}

}  // namespace rallix
