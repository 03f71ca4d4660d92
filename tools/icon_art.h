// The icon: a court with both paddles and the ball, drawn as tables a person
// can read and edit, at 16, 32, 48 and 64 pixels. The window shows the 16 and
// 32 pixel BMPs; the desktop takes PNGs of every size up to 256, the browser's
// home screen those of 192 and 512 and a maskable one, and the Windows
// program rallix.ico.
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

// The art of one size (16, 32, 48 or 64): one string per row, one symbol per
// pixel.
std::vector<std::string_view> IconArt(int size);

// The sizes of the PNG icons: 16, 32, 48, 64, 128 and 256.
std::vector<int> IconPngSizes();
// The sizes of the browser's home-screen icons.
std::vector<int> BrowserIconSizes();

// The 256-colour palette shared by all sizes.
Palette IconPalette();

// One size of the art as palette indices, and one PNG size as RGBA (the sizes
// above 64 are the 64-pixel art with every pixel a square block).
IndexedImage IconImage(int size);
RgbaImage IconRgba(int size);

// The browser's maskable icon, which a home screen may crop to any shape:
// the 64-pixel art made 4 times larger and centred on a full-bleed square of
// the page's background, kMaskableSize pixels across. The art's tile,
// corners included, lies inside the circle of 40% of the size around the
// centre that every crop keeps.
constexpr int kMaskableSize = 512;
constexpr Rgb kMaskableBackground{34, 34, 34};
RgbaImage MaskableIconRgba();

// The sizes in the Windows program's icon: 16 to 64 in the art's 256
// colours, 256 as PNG.
std::vector<int> WindowsIcoSizes();
// That icon as a .ico file, the Windows program's icon resource.
std::vector<uint8_t> WindowsIco();

// "icon-32.bmp" and "icon-16.bmp" for the window, "icon-<size>.png" for each
// of IconPngSizes() and BrowserIconSizes(), "icon-maskable-512.png" for the
// browser, and "rallix.ico" for Windows.
std::vector<GeneratedFile> IconFiles();

}  // namespace rallix::art
