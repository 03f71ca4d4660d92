// The window's icon, built into the program.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>

namespace rallix {

// Decodes a BMP held in memory; null when the bytes are not a BMP SDL reads.
// The caller frees the surface.
SDL_Surface* DecodeIconBmp(const uint8_t* data, size_t size);

// Gives the window the built-in icon; an icon that does not decode is skipped.
void SetWindowIcon(SDL_Window* window);

}  // namespace rallix
