#include "sdl/video/window_placement.h"

namespace rallix {

SDL_Point FrameCentredClientPosition(const SDL_Rect& screen, int width, int height,
                                     const WindowBorders& borders) {
  const int frame_width = borders.left + width + borders.right;
  const int frame_height = borders.top + height + borders.bottom;
  return SDL_Point{screen.x + (screen.w - frame_width) / 2 + borders.left,
                   screen.y + (screen.h - frame_height) / 2 + borders.top};
}

void CentreByFrame(SDL_Window* window) {
  // A window manager tells the borders once it has framed the window, which
  // SDL learns from the events of the showing.
  SDL_PumpEvents();
  WindowBorders borders;
  if (SDL_GetWindowBordersSize(window, &borders.top, &borders.left, &borders.bottom,
                               &borders.right) != 0) {
    return;
  }
  if (borders.top == 0 && borders.left == 0 && borders.bottom == 0 && borders.right == 0)
    return;
  SDL_Rect screen;
  const int display = SDL_GetWindowDisplayIndex(window);
  if (display < 0 || SDL_GetDisplayBounds(display, &screen) != 0)
    return;
  int width = 0;
  int height = 0;
  SDL_GetWindowSize(window, &width, &height);
  const SDL_Point place = FrameCentredClientPosition(screen, width, height, borders);
  SDL_SetWindowPosition(window, place.x, place.y);
}

}  // namespace rallix
