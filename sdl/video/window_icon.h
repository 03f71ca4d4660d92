// The window's icons, built into the program: 32 x 32 and 16 x 16.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rallix {

// Decodes a BMP held in memory; null when the bytes are not a BMP SDL reads.
// The caller frees the surface.
SDL_Surface* DecodeIconBmp(const uint8_t* data, size_t size);

// Gives the window the built-in icons; an icon that does not decode is
// skipped.
void SetWindowIcon(SDL_Window* window);

// Gives the window all of `icons` (largest first) where the window system
// takes more than one; elsewhere, through SDL, the first. In the files
// window_icons_*.cpp, one per kind of window system support.
void SetWindowIcons(SDL_Window* window, const std::vector<SDL_Surface*>& icons);

}  // namespace rallix
