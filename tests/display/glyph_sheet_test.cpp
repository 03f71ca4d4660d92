// The glyph sheet as the game sees it: the generated bitmap decoded by the
// game's own reader, cell by cell, and the line glyphs put together on screen
// by the real compositor.
#include "tools/glyph_sheet_maker.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>

#include "display/compositor.h"
#include "display/glyph_origin.h"
#include "display/glyph_sheet.h"
#include "display/text_screen.h"

namespace rallix {
namespace {

using PixelRule = std::function<bool(int x, int y)>;

Surface GeneratedSheet() {
  const std::vector<uint8_t> bmp = art::GlyphSheetBmp();
  std::optional<Surface> sheet = DecodeGlyphBmp(bmp.data(), bmp.size());
  if (!sheet)
    throw std::runtime_error("the generated glyph sheet does not decode");
  return *sheet;
}

int LitCount(const Surface& picture, int left, int top, int width, int height) {
  int lit = 0;
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < left + width; ++x)
      lit += picture.At(x, y) == kWhite;
  }
  return lit;
}

// Every pixel of the block matches the rule (x, y relative to the block):
// white where it holds, black elsewhere.
void ExpectBlock(const Surface& picture, int left, int top, int width, int height,
                 const PixelRule& white, const std::string& what) {
  int wrong = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint8_t expected = white(x, y) ? kWhite : kBlack;
      if (picture.At(left + x, top + y) != expected && ++wrong <= 3) {
        ADD_FAILURE() << what << ": pixel (" << x << ", " << y << ") should be "
                      << (expected == kWhite ? "white" : "black");
      }
    }
  }
  EXPECT_EQ(wrong, 0) << what;
}

bool HorizontalBar(int, int y) {
  return y == 7 || y == 8;
}
bool VerticalBar(int x, int) {
  return x == 7 || x == 8;
}

// The digits and the capitals.
constexpr std::string_view kCharacters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";

// The file's layout is the BMP writer's (tools/assets_test), which the
// game's reader checks (glyph_origin_test); here, what it holds: index 0
// black and 1 white, as a picture viewer shows them too.
TEST(GlyphSheet, IsA640By480PictureOfBlackAndWhiteOnly) {
  const std::vector<uint8_t> bmp = art::GlyphSheetBmp();
  EXPECT_EQ((std::vector<int>{bmp[54], bmp[55], bmp[56]}), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ((std::vector<int>{bmp[58], bmp[59], bmp[60]}), (std::vector<int>{255, 255, 255}));
  const Surface sheet = GeneratedSheet();
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      ASSERT_LE(sheet.At(x, y), kWhite) << "at (" << x << ", " << y << ")";
    }
  }
  // Bottom-up storage: the top-left "0" must come out at the top, not the bottom.
  EXPECT_GT(LitCount(sheet, 0, 0, 16, 16), 0);
  EXPECT_EQ(LitCount(sheet, 0, 464, 16, 16), 0);
}

TEST(GlyphSheet, DigitsAndLettersAreDistinctAndKeepTheirSpacing) {
  const Surface sheet = GeneratedSheet();
  std::vector<Surface> seen;
  for (char c : kCharacters) {
    const GlyphPoint origin = GlyphOriginOf(c);
    const std::string name(1, c);
    EXPECT_GT(LitCount(sheet, origin.x, origin.y, 16, 16), 0) << name << " is empty";
    EXPECT_EQ(LitCount(sheet, origin.x, origin.y, 2, 16), 0) << name << " touches the left";
    EXPECT_EQ(LitCount(sheet, origin.x, origin.y + 14, 16, 2), 0) << name << " touches the bottom";
    for (char other : kCharacters) {
      if (other >= c)
        break;
      const GlyphPoint o = GlyphOriginOf(other);
      bool same = true;
      for (int y = 0; y < 16 && same; ++y) {
        for (int x = 0; x < 16 && same; ++x) {
          same = sheet.At(origin.x + x, origin.y + y) == sheet.At(o.x + x, o.y + y);
        }
      }
      EXPECT_FALSE(same) << name << " looks exactly like " << other;
    }
  }
}

TEST(GlyphSheet, TheBallIsASymmetricRing) {
  const Surface sheet = GeneratedSheet();
  const GlyphPoint o = GlyphOriginOf('O');
  // The glyph area is columns 2 to 15 and rows 0 to 13: mirror within it.
  for (int y = 0; y < 14; ++y) {
    for (int x = 2; x < 16; ++x) {
      EXPECT_EQ(sheet.At(o.x + x, o.y + y), sheet.At(o.x + 17 - x, o.y + y)) << x << "," << y;
      EXPECT_EQ(sheet.At(o.x + x, o.y + y), sheet.At(o.x + x, o.y + 13 - y)) << x << "," << y;
    }
  }
  EXPECT_EQ(LitCount(sheet, o.x + 6, o.y + 4, 6, 6), 0) << "the ring's middle is open";
}

TEST(GlyphSheet, ChevronsPointLeftAndRightInBothPlaces) {
  const Surface sheet = GeneratedSheet();
  struct Chevron {
    int x, y;
    bool points_left;
  };
  for (Chevron c : {Chevron{80, 48, true}, Chevron{96, 48, false}, Chevron{192, 0, true},
                    Chevron{224, 0, false}}) {
    const std::string where =
        "chevron at (" + std::to_string(c.x) + ", " + std::to_string(c.y) + ")";
    EXPECT_EQ(LitCount(sheet, c.x, c.y + 14, 16, 2), 0) << where;
    // The tip is the outermost stroke, and it lies on the middle rows.
    int tip_x = c.points_left ? 16 : -1;
    int tip_y = -1;
    for (int y = 0; y < 16; ++y) {
      for (int x = 0; x < 16; ++x) {
        if (sheet.At(c.x + x, c.y + y) != kWhite)
          continue;
        if (c.points_left ? x < tip_x : x > tip_x) {
          tip_x = x;
          tip_y = y;
        }
      }
    }
    EXPECT_GE(tip_y, 5) << where;
    EXPECT_LE(tip_y, 8) << where;
  }
  EXPECT_EQ(GlyphOriginOf('<').x, 80);
  EXPECT_EQ(GlyphOriginOf('>').x, 96);
}

TEST(GlyphSheet, LineGlyphsFillTheirCellsExactly) {
  const Surface sheet = GeneratedSheet();
  const GlyphPoint dash = GlyphOriginOf('-');
  const GlyphPoint plus = GlyphOriginOf('+');
  const GlyphPoint bar = GlyphOriginOf('|');
  ExpectBlock(sheet, dash.x, dash.y, 16, 16, HorizontalBar, "-");
  ExpectBlock(sheet, bar.x, bar.y, 16, 16, VerticalBar, "|");
  ExpectBlock(
      sheet, plus.x, plus.y, 16, 16,
      [](int x, int y) { return HorizontalBar(x, y) || VerticalBar(x, y); }, "+");
  ExpectBlock(
      sheet, 48, 48, 16, 16,
      [](int x, int y) { return (HorizontalBar(x, y) && x >= 7) || (VerticalBar(x, y) && y >= 7); },
      "corner from the centre to the right and down");
  ExpectBlock(
      sheet, 64, 48, 16, 16,
      [](int x, int y) { return (HorizontalBar(x, y) && x <= 8) || (VerticalBar(x, y) && y >= 7); },
      "corner from the left to the centre and down");
}

TEST(GlyphSheet, EverythingWithoutAGlyphIsBlack) {
  const Surface sheet = GeneratedSheet();
  const auto black = [](int, int) { return false; };
  ExpectBlock(sheet, kBlankGlyph.x, kBlankGlyph.y, 16, 16, black, "the blank cell");
  for (int x : {160, 176, 208, 240})
    ExpectBlock(sheet, x, 0, 16, 16, black, "row 0 at " + std::to_string(x));
  for (int x = 176; x < 256; x += 16)
    ExpectBlock(sheet, x, 32, 16, 16, black, "row 2 at " + std::to_string(x));
  for (int x = 112; x < 256; x += 16)
    ExpectBlock(sheet, x, 48, 16, 16, black, "row 3 at " + std::to_string(x));
  EXPECT_EQ(LitCount(sheet, 256, 0, kScreenWidth - 256, kScreenHeight), 0);
  EXPECT_EQ(LitCount(sheet, 0, 64, 256, kScreenHeight - 64), 0);
}

// Prints into a fresh grid, renders it and composes one frame from the sheet
// built into the game.
Surface Frame(const std::function<void(TextScreen&)>& print) {
  TextScreen screen;
  print(screen);
  Compositor compositor(BuiltInGlyphSheet());
  compositor.RedrawBackground(screen.Grid);
  compositor.ComposeFrame(screen);
  return compositor.PictureMain;
}

TEST(GlyphSheetOnScreen, APaddleIsOneLineCrossedAtItsCentre) {
  // From the background, and from the cell queue as the rally prints it.
  const Surface printed = Frame([](TextScreen& s) {
    s.Locate(10, 5);
    s.PrintText("-+-");
  });
  const Surface queued = Frame([](TextScreen& s) {
    s.Locate(10, 5);
    s.PrintNow("-+-");
    s.ClearGrid();
  });
  for (const Surface* frame : {&printed, &queued}) {
    ExpectBlock(
        *frame, 160, 80, 48, 16,
        [](int x, int y) { return HorizontalBar(x, y) || VerticalBar(x - 16, y); }, "-+-");
    EXPECT_EQ(LitCount(*frame, 0, 0, kScreenWidth, kScreenHeight), 48 * 2 + 16 * 2 - 4);
  }
}

TEST(GlyphSheetOnScreen, AColumnOfBarsIsOneUnbrokenWall) {
  const Surface frame = Frame([](TextScreen& s) {
    for (int row = 0; row < 25; ++row) {
      s.Locate(21, row);
      s.PrintText("|");
    }
  });
  ExpectBlock(frame, 21 * 16, 0, 16, 25 * 16, VerticalBar, "the wall");
  EXPECT_EQ(LitCount(frame, 0, 0, kScreenWidth, kScreenHeight), 2 * 25 * 16);
}

}  // namespace
}  // namespace rallix
