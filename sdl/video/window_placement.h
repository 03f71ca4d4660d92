// Where the game's window goes on the screen: centred by its outer frame,
// the client area with the borders the window manager puts around it.
#pragma once

#include <SDL.h>

namespace rallix {

struct WindowBorders {
  int top = 0;
  int left = 0;
  int bottom = 0;
  int right = 0;
};

// The place of the client area's top-left corner for which the frame around
// a client area of `width` x `height` with `borders` has its corner at
// ((screen width - frame width) / 2, (screen height - frame height) / 2)
// from the screen's corner. Without borders that centres the client area.
SDL_Point FrameCentredClientPosition(const SDL_Rect& screen, int width, int height,
                                     const WindowBorders& borders);

// Centres the shown window by its frame on the screen it is on, where the
// window system tells its borders. Without borders (no window manager) the
// window stays where it is, centred by its client area.
void CentreByFrame(SDL_Window* window);

}  // namespace rallix
