// Writes Windows icon files (.ico) holding several sizes of one picture: the
// icon a Windows program carries in its resources, which Explorer, the
// taskbar and the window's caption each take their size from.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/bmp_file.h"

namespace rallix::art {

// One picture of the icon: palette indices, drawn with `transparent` left
// see-through, or an image already encoded as PNG (for 256 x 256, which
// Windows takes as PNG).
struct IcoImage {
  IndexedImage indexed;
  uint8_t transparent = 0;
  int png_size = 0;  // the PNG's width and height, when `png` holds one
  std::vector<uint8_t> png;
};

// The whole file: the directory of the images, then each image, the indexed
// ones as 8-bit device-independent bitmaps with `palette` and a mask that
// leaves the transparent index see-through.
std::vector<uint8_t> EncodeIco(const std::vector<IcoImage>& images, const Palette& palette);

}  // namespace rallix::art
