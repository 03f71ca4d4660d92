#include "sdl/window_icon.h"

#include <limits>

namespace rallix {

extern const uint8_t kWindowIconBmp[];
extern const size_t kWindowIconBmpSize;

SDL_Surface* DecodeIconBmp(const uint8_t* data, size_t size) {
  if (data == nullptr || size == 0 || size > static_cast<size_t>(std::numeric_limits<int>::max()))
    return nullptr;
  SDL_RWops* bytes = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (bytes == nullptr)
    return nullptr;
  return SDL_LoadBMP_RW(bytes, 1);
}

void SetWindowIcon(SDL_Window* window) {
  SDL_Surface* icon = DecodeIconBmp(kWindowIconBmp, kWindowIconBmpSize);
  if (icon == nullptr)
    return;
  SDL_SetWindowIcon(window, icon);
  SDL_FreeSurface(icon);
}

}  // namespace rallix
