// The window icon: a court with both paddles and the ball, drawn as tables
// a person can read and edit, in two sizes; the browser's home-screen icons
// are the bigger one enlarged.
#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "tools/bmp_file.h"
#include "tools/file_output.h"
#include "tools/png_file.h"

namespace rallix::art {

// Palette index 0 lies outside the rounded tile. It is black in the BMP
// files, so the icon looks right as it is; a loader that wants round corners
// makes index 0 its colour key. The PNG files leave those pixels transparent.
constexpr uint8_t kIconOutside = 0;

struct IconInk {
  char symbol;  // as written in the art tables
  uint8_t index;
  Rgb colour;
  uint8_t alpha;
};

// The inks of the art tables with their palette indices.
std::vector<IconInk> IconInks();

// The art of one size (32 or 16): one string per row, one symbol per pixel.
std::vector<std::string_view> IconArt(int size);

// The 256-colour palette shared by both sizes.
Palette IconPalette();

// One size as palette indices, and as RGBA.
IndexedImage IconImage(int size);
RgbaImage IconRgba(int size);

// The 32 x 32 art enlarged `scale` times, each pixel a square of pixels.
RgbaImage IconRgbaEnlarged(int scale);

// "icon-32.bmp", "icon-16.bmp", "icon-32.png" and "icon-16.png", and the
// browser's "icon-192.png" and "icon-512.png" (the 32 x 32 art 6 and 16 times).
std::vector<GeneratedFile> IconFiles();

}  // namespace rallix::art
