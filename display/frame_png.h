// A frame of the game as a PNG file: the 640 x 480 picture exactly, each
// pixel black (0) or white (255) in 8-bit grey, through stb_image_write
// (cmake/Stb.cmake). The desktop's screenshots and the page's are the same
// bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "display/surface.h"

namespace rallix {

// The whole file. Palette index 0 is black, any other white, as the
// window and the canvas show them.
std::vector<uint8_t> EncodeFramePng(const Surface& frame);

}  // namespace rallix
