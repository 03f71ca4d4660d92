#include "sdl/video/window_icon.h"

#include <limits>

namespace rallix {

extern const uint8_t kWindowIconBmp[];
extern const size_t kWindowIconBmpSize;
extern const uint8_t kSmallWindowIconBmp[];
extern const size_t kSmallWindowIconBmpSize;

SDL_Surface* DecodeIconBmp(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0 || size > static_cast<size_t>(std::numeric_limits<int>::max()))
    return nullptr;
  SDL_RWops* bytes = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (bytes == nullptr)
    return nullptr;
  return SDL_LoadBMP_RW(bytes, 1);
}

void SetWindowIcon(SDL_Window* window) {
  std::vector<SDL_Surface*> icons;
  for (SDL_Surface* icon : {DecodeIconBmp(kWindowIconBmp, kWindowIconBmpSize),
                            DecodeIconBmp(kSmallWindowIconBmp, kSmallWindowIconBmpSize)}) {
    if (icon != nullptr)
      icons.push_back(icon);
  }
  if (!icons.empty())
    SetWindowIcons(window, icons);
  for (SDL_Surface* icon : icons)
    SDL_FreeSurface(icon);
}

}  // namespace rallix
