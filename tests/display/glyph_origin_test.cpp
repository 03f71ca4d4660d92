// Where each character's glyph lies in the sheet, and how the sheet is read
// from its bitmap file.
#include "display/glyph_origin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/glyph_sheet.h"
#include "tools/bmp_file.h"

namespace rallix {
namespace {

::testing::AssertionResult OriginIs(std::string_view glyph, int x, int y) {
  const GlyphPoint origin = GlyphOrigin(glyph);
  if (origin.x == x && origin.y == y)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << '"' << glyph << "\" gives (" << origin.x << ", "
                                       << origin.y << "), not (" << x << ", " << y << ")";
}

TEST(GlyphOrigin, DigitsAndCapitalsFollowTheirCharacterCodes) {
  // The sheet's first three rows hold codes 0x30 to 0x5F, sixteen a row.
  for (char ch : std::string("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ")) {
    const int code = static_cast<unsigned char>(ch);
    EXPECT_TRUE(OriginIs(std::string(1, ch), 16 * (code % 16), 16 * (code / 16 - 3)));
  }
  EXPECT_TRUE(OriginIs("A", 16, 16));
  EXPECT_TRUE(OriginIs("O", 240, 16));
  EXPECT_TRUE(OriginIs("P", 0, 32));
  EXPECT_TRUE(OriginIs("Z", 160, 32));
  EXPECT_TRUE(OriginIs("9", 144, 0));
}

TEST(GlyphOrigin, LineSymbolsAndChevronsComeFromTheFourthRow) {
  EXPECT_TRUE(OriginIs("-", 0, 48));
  EXPECT_TRUE(OriginIs("+", 16, 48));
  EXPECT_TRUE(OriginIs("|", 32, 48));
  // Not the row 0 cells their codes would give.
  EXPECT_TRUE(OriginIs("<", 80, 48));
  EXPECT_TRUE(OriginIs(">", 96, 48));
}

TEST(GlyphOrigin, EverythingElseIsTheBlankCell) {
  const std::string set = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-+|<>";
  for (int code = 0; code < 256; ++code) {
    const char ch = static_cast<char>(code);
    if (set.find(ch) != std::string::npos)
      continue;
    EXPECT_TRUE(OriginIs(std::string(1, ch), 0, 16)) << "code " << code;
  }
  for (const char* glyph : {"", " ", "a", "o", "=", "AB", "--", "0 "}) {
    EXPECT_TRUE(OriginIs(glyph, 0, 16));
  }
  // The single-character form treats '\0' as the empty string.
  EXPECT_EQ(GlyphOriginOf('\0').x, 0);
  EXPECT_EQ(GlyphOriginOf('\0').y, 16);
}

// An 8-bit 640 x 480 BMP by the tools' writer whose pixel at (x, y) is
// (x + 3 * y) mod 256: stored bottom-up, or top-down with its height negated.
std::vector<uint8_t> MakeBmp(bool bottom_up) {
  art::IndexedImage image(640, 480);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x)
      image.Set(x, bottom_up ? y : 479 - y, static_cast<uint8_t>(x + 3 * y));
  }
  std::vector<uint8_t> bytes = art::EncodeIndexedBmp(image, art::Palette{});
  if (!bottom_up) {
    for (int i = 0; i < 4; ++i)
      bytes[22 + i] = static_cast<uint8_t>(static_cast<uint32_t>(-480) >> (8 * i));
  }
  return bytes;
}

TEST(GlyphSheetFile, RowsAreReadTopDownWhicheverWayTheyAreStored) {
  for (bool bottom_up : {true, false}) {
    const std::vector<uint8_t> bmp = MakeBmp(bottom_up);
    const auto sheet = DecodeGlyphBmp(bmp.data(), bmp.size());
    ASSERT_TRUE(sheet.has_value());
    int wrong = 0;
    for (int y = 0; y < 480; ++y) {
      for (int x = 0; x < 640; ++x)
        wrong += sheet->At(x, y) != static_cast<uint8_t>(x + 3 * y);
    }
    EXPECT_EQ(wrong, 0) << (bottom_up ? "bottom-up" : "top-down");
  }
}

TEST(GlyphSheetFile, AnythingButA640x480EightBitBitmapIsRefused) {
  const std::vector<uint8_t> good = MakeBmp(true);
  EXPECT_FALSE(DecodeGlyphBmp(good.data(), 40).has_value());
  EXPECT_FALSE(DecodeGlyphBmp(good.data(), good.size() - 1).has_value());  // a pixel short
  std::vector<uint8_t> bad = good;
  bad[0] = 'X';
  EXPECT_FALSE(DecodeGlyphBmp(bad.data(), bad.size()).has_value());
  bad = good;
  bad[28] = 24;  // bits per pixel
  EXPECT_FALSE(DecodeGlyphBmp(bad.data(), bad.size()).has_value());
  bad = good;
  bad[18] = 0x7F;  // width 639
  EXPECT_FALSE(DecodeGlyphBmp(bad.data(), bad.size()).has_value());
  bad = good;
  bad[30] = 1;  // run-length compressed
  EXPECT_FALSE(DecodeGlyphBmp(bad.data(), bad.size()).has_value());
  bad = good;
  bad[10] = 0xFF;  // pixels said to start past the end
  bad[11] = 0xFF;
  bad[12] = 0xFF;
  EXPECT_FALSE(DecodeGlyphBmp(bad.data(), bad.size()).has_value());
}

}  // namespace
}  // namespace rallix
