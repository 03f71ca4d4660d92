// The window's icons on Windows come from the program's own icon resource
// (rallix.ico, built into rallix.exe): SDL gives its window class the 32 x 32
// and 16 x 16 pictures from there, and Explorer and the taskbar take their
// sizes from the same file. Setting SDL's one icon would replace both with
// the 32 x 32 one.
#include "sdl/video/window_icon.h"

namespace rallix {

void SetWindowIcons(SDL_Window* /*window*/, const std::vector<SDL_Surface*>& /*icons*/) {}

}  // namespace rallix
