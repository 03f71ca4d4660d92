#include "display/glyph_sheet.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "display/glyph_sheet_data.h"

namespace rallix {
namespace {

uint32_t ReadU32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t ReadU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

std::optional<Surface> DecodeGlyphBmp(const uint8_t* data, size_t size) {
  constexpr size_t kFileHeader = 14;
  if (size < kFileHeader + 40 || data[0] != 'B' || data[1] != 'M')
    return std::nullopt;
  const uint8_t* info = data + kFileHeader;
  uint32_t pixel_offset = ReadU32(data + 10);
  int32_t width = static_cast<int32_t>(ReadU32(info + 4));
  int32_t height = static_cast<int32_t>(ReadU32(info + 8));
  uint16_t bits = ReadU16(info + 14);
  uint32_t compression = ReadU32(info + 16);
  if (width != kScreenWidth || (height != kScreenHeight && height != -kScreenHeight) || bits != 8 ||
      compression != 0) {
    return std::nullopt;
  }
  const size_t stride = static_cast<size_t>(kScreenWidth);  // 640 is a multiple of 4
  if (pixel_offset > size || size - pixel_offset < stride * kScreenHeight)
    return std::nullopt;
  // The rows in one copy, then, where the file stores them bottom up, turned
  // over in place: a copy a row was 480 calls out to the browser in the web
  // build.
  Surface sheet;
  uint8_t* top = sheet.Row(0);
  std::memcpy(top, data + pixel_offset, stride * kScreenHeight);
  if (height > 0) {
    for (int y = 0; y < kScreenHeight / 2; ++y) {
      uint8_t* row = top + stride * static_cast<size_t>(y);
      std::swap_ranges(row, row + stride,
                       top + stride * static_cast<size_t>(kScreenHeight - 1 - y));
    }
  }
  return sheet;
}

const Surface& BuiltInGlyphSheet() {
  static const Surface sheet = [] {
    auto decoded = DecodeGlyphBmp(kGlyphSheetBmp, kGlyphSheetBmpSize);
    if (!decoded)
      throw std::logic_error("the built-in glyph sheet is not a 640 x 480 8-bit BMP");
    return std::move(*decoded);
  }();
  return sheet;
}

}  // namespace rallix
