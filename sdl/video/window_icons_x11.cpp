// The window's icons under X11: SDL sets the window's _NET_WM_ICON from one
// picture, and the property holds any number of them, so it is written here
// anew with all of them; window managers pick the size they show.
#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "sdl/video/window_icon.h"

namespace rallix {
namespace {

// Each picture as its width, its height and its pixels as 0xAARRGGBB, row by
// row; Xlib takes the 32-bit items of a property as longs. Empty when a
// picture does not convert.
std::vector<unsigned long> NetWmIcon(const std::vector<SDL_Surface*>& icons) {
  std::vector<unsigned long> items;
  for (SDL_Surface* icon : icons) {
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(icon, SDL_PIXELFORMAT_ARGB8888, 0);
    if (argb == nullptr)
      return {};
    items.push_back(static_cast<unsigned long>(argb->w));
    items.push_back(static_cast<unsigned long>(argb->h));
    for (int y = 0; y < argb->h; ++y) {
      const Uint32* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(argb->pixels) +
                                                          y * argb->pitch);
      items.insert(items.end(), row, row + argb->w);
    }
    SDL_FreeSurface(argb);
  }
  return items;
}

}  // namespace

void SetWindowIcons(SDL_Window* window, const std::vector<SDL_Surface*>& icons) {
  if (icons.empty())
    return;
  // SDL's own first: the one icon wherever the window is not an X11 one.
  SDL_SetWindowIcon(window, icons.front());
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (icons.size() < 2 || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
      info.subsystem != SDL_SYSWM_X11) {
    return;
  }
  const std::vector<unsigned long> items = NetWmIcon(icons);
  if (items.empty())
    return;
  Display* display = info.info.x11.display;
  XChangeProperty(display, info.info.x11.window, XInternAtom(display, "_NET_WM_ICON", False),
                  XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(items.data()),
                  static_cast<int>(items.size()));
  XFlush(display);
}

}  // namespace rallix
