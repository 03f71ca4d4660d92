// Lays the glyph art out on the 640 x 480 sheet the game copies every
// character from.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/bmp_file.h"

namespace rallix::art {

constexpr int kSheetWidth = 640;
constexpr int kSheetHeight = 480;
constexpr uint8_t kSheetBlack = 0;
constexpr uint8_t kSheetWhite = 1;

// The sheet as palette indices: white strokes (1) on black (0).
IndexedImage GlyphSheetImage();

// Index 0 black, index 1 white, every other entry black.
Palette GlyphSheetPalette();

// The sheet as the bytes of an 8-bit palettised BMP file.
std::vector<uint8_t> GlyphSheetBmp();

}  // namespace rallix::art
