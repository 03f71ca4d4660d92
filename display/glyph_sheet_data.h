// The bytes of assets/glyphs.bmp, compiled in by the build.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rallix {
extern const uint8_t kGlyphSheetBmp[];
extern const size_t kGlyphSheetBmpSize;
}  // namespace rallix
