// Composing frames: the background from the grid, the queued cells and pixel
// sprites over it, and the one finished frame shown per RenderFrame. The
// glyph sheet is a patterned one, so every copied block can be told apart.
// Last, which cells a new frame changes: what the window is sent of it.
#include "display/compositor.h"

#include <gtest/gtest.h>

#include "base/run_time_error.h"
#include "display/changed_cells.h"
#include "game/form_main.h"
#include "tests/support/screen_text.h"
#include "tests/support/scripted_platform.h"

namespace rallix {
namespace {

using testing::GlyphAt;
using testing::PatternedGlyphSheet;
using testing::ScreenText;

struct Rect {
  int x0, y0, x1, y1;  // [x0, x1) x [y0, y1)
};

// True when a and b agree at every pixel outside the given rectangles.
bool SameOutside(const Surface& a, const Surface& b, std::initializer_list<Rect> rects) {
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      bool inside = false;
      for (const Rect& r : rects)
        inside = inside || (x >= r.x0 && x < r.x1 && y >= r.y0 && y < r.y1);
      if (!inside && a.At(x, y) != b.At(x, y))
        return false;
    }
  }
  return true;
}

class CompositorTest : public ::testing::Test {
 protected:
  CompositorTest() : form(platform) {
    form.Pictures.PictureSprite = sheet;
    // A walled court, rendered into the background.
    form.DrawCourt();
    form.RedrawBackground();
  }
  const Surface& Background() const { return form.Pictures.PictureBackGround; }
  const Surface& Shown() const { return platform.last_frame; }
  char ShownAt(int x, int y) const { return GlyphAt(Shown(), sheet, x, y); }

  const Surface sheet = PatternedGlyphSheet();
  testing::ScriptedPlatform platform;
  FormMain form;
};

TEST_F(CompositorTest, RedrawBackgroundRendersEveryCellOfTheGrid) {
  form.ClearGrid();
  const std::string line = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-+|<";
  for (int row = 0; row < kGridRows; ++row) {
    form.Locate(0, row);
    form.PrintText(line.substr(row % 40) + line.substr(0, row % 40));
  }
  form.Locate(39, 29);
  form.PrintText(">");
  form.Locate(0, 29);
  form.PrintText("a= ");  // no glyph, no glyph, space: all blank
  form.Locate(5, 5);
  form.PrintText(" ");
  form.RedrawBackground();
  for (int row = 0; row < kGridRows; ++row) {
    std::string expected;
    for (int column = 0; column < kGridColumns; ++column) {
      const std::string cell = form.Record.Screen.Grid.Cell(column, row);
      expected += (cell == "a" || cell == "=" || cell.empty()) ? ' ' : cell[0];
    }
    EXPECT_EQ(ScreenText(Background(), sheet, 0, row, kGridColumns), expected) << "row " << row;
  }
  // Empty cells copy the blank cell too: nothing of an earlier render stays.
  form.ClearGrid();
  form.RedrawBackground();
  EXPECT_EQ(Background(), Surface()) << "all black";
}

TEST_F(CompositorTest, RepeatedRedrawsEqualAFreshRenderOfTheSameGrid) {
  // Cells whose glyph is already in the background are skipped; whatever the
  // grid went through before, the picture must equal a first render.
  uint32_t seed = 12345;
  const std::string glyphs = "AO0|-+<> a";
  for (int round = 0; round < 40; ++round) {
    for (int change = 0; change < 60; ++change) {
      seed = seed * 1103515245u + 12345u;
      form.Locate(static_cast<int32_t>(seed >> 8) % kGridColumns,
                  static_cast<int32_t>(seed >> 16) % kGridRows);
      form.PrintText(std::string(1, glyphs[(seed >> 24) % glyphs.size()]));
    }
    if (round % 7 == 3)
      form.ClearGrid();
    form.RedrawBackground();
    Compositor fresh(sheet);
    fresh.RedrawBackground(form.Record.Screen.Grid);
    ASSERT_TRUE(Background() == fresh.PictureBackGround) << "round " << round;
  }
}

TEST_F(CompositorTest, FramesEqualAWholeComposeWhateverCameBefore) {
  // Frames copy only the blocks that can have changed; each must equal the
  // frame a new compositor makes from the same background and queues.
  uint32_t seed = 99;
  auto next = [&seed](uint32_t range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % range);
  };
  const std::string glyphs = "AO0|-+<> ";
  TextGrid rendered = form.Record.Screen.Grid;
  for (int frame = 0; frame < 300; ++frame) {
    const int changes = frame % 50 == 7 ? 1200 : next(4);  // now and then a whole new screen
    for (int i = 0; i < changes; ++i) {
      form.Locate(next(kGridColumns), next(kGridRows));
      form.PrintText(std::string(1, glyphs[next(glyphs.size())]));
    }
    if (changes > 3 || next(3) == 0) {
      form.RedrawBackground();
      rendered = form.Record.Screen.Grid;
    }
    for (int i = next(30); i > 0; --i) {
      form.Locate(next(kGridColumns), next(kGridRows));
      form.PrintNow(std::string(1, glyphs[next(glyphs.size())]));
    }
    for (int i = next(3); i > 0; --i)
      form.PutSprite("O", static_cast<int16_t>(next(680) - 20),
                     static_cast<int16_t>(next(520) - 20));
    Compositor whole(sheet);
    whole.RedrawBackground(rendered);
    whole.ComposeFrame(form.Record.Screen);
    form.RenderFrame();
    ASSERT_TRUE(Shown() == whole.PictureMain) << "frame " << frame;
    ASSERT_TRUE(form.Pictures.PictureBackSurface == whole.PictureBackSurface) << "frame " << frame;
  }
}

TEST_F(CompositorTest, BackgroundShowsTheGridAsLastRenderedNotAsItIsNow) {
  form.Locate(6, 10);
  form.PrintText("RALLIX");
  form.RenderFrame();
  EXPECT_EQ(ScreenText(Shown(), sheet, 6, 10, 6), "      ");
  form.RedrawBackground();
  form.RenderFrame();
  EXPECT_EQ(ScreenText(Shown(), sheet, 6, 10, 6), "RALLIX");
}

TEST_F(CompositorTest, QueuedCellsAreDrawnAtSixteenTimesTheirColumnAndRow) {
  form.Locate(39, 29);
  form.PrintNow("Z");
  form.Locate(0, 0);
  form.PrintNow("7");
  form.RenderFrame();
  EXPECT_EQ(ShownAt(624, 464), 'Z');
  EXPECT_EQ(ShownAt(0, 0), '7');
  EXPECT_TRUE(SameOutside(Shown(), Background(), {{0, 0, 16, 16}, {624, 464, 640, 480}}))
      << "a queued cell drew outside its own cell";
}

TEST_F(CompositorTest, PixelSpritesPartlyOffScreenAreClipped) {
  // Centred on (0, 0): only the block's bottom-right quarter, at (0..7, 0..7).
  form.PutSprite("O", 0, 0);
  // Centred on (640, 480): only its top-left quarter, at (632..639, 472..479).
  form.PutSprite("A", 640, 480);
  // Wholly outside: nothing.
  form.PutSprite("B", -100, 700);
  form.RenderFrame();
  const GlyphPoint o = GlyphOrigin("O");
  const GlyphPoint a = GlyphOrigin("A");
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(Shown().At(x, y), sheet.At(o.x + 8 + x, o.y + 8 + y));
      EXPECT_EQ(Shown().At(632 + x, 472 + y), sheet.At(a.x + x, a.y + y));
    }
  }
  EXPECT_TRUE(SameOutside(Shown(), Background(), {{0, 0, 8, 8}, {632, 472, 640, 480}}));
}

TEST_F(CompositorTest, LaterEntriesCoverEarlierOnesAndSpritesCoverCells) {
  form.Locate(3, 3);
  form.PrintNow("A");
  form.Locate(3, 3);
  form.PrintNow("B");
  form.PutSprite("C", 100, 100);
  form.PutSprite("D", 100, 100);
  // The ball over a paddle cell: sprites are drawn after all cells.
  form.PutSprite("O", 16 * 9 + 8, 16 * 23 + 8);
  form.Locate(8, 23);
  form.PrintNow("--+--");
  form.RenderFrame();
  EXPECT_EQ(ShownAt(48, 48), 'B');
  EXPECT_EQ(ShownAt(92, 92), 'D');
  EXPECT_EQ(ScreenText(Shown(), sheet, 8, 23, 5), "-O+--");
}

TEST_F(CompositorTest, BallOverAWallHidesItForThatFrameOnly) {
  // Centred 4 pixels into the left wall's cell of row 12: opaque, so it
  // replaces the wall's pixels it covers, black ones included.
  form.PutSprite("O", 4, 12 * 16 + 8);
  form.RenderFrame();
  const GlyphPoint o = GlyphOrigin("O");
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 12; ++x) {
      EXPECT_EQ(Shown().At(x, 12 * 16 + y), sheet.At(o.x + 4 + x, o.y + y));
    }
  }
  form.RenderFrame();
  EXPECT_EQ(ShownAt(0, 12 * 16), '|');
  EXPECT_EQ(Shown(), Background());
}

TEST_F(CompositorTest, RenderFrameEmptiesBothQueuesAndTheNextFrameIsTheBackground) {
  form.Locate(10, 23);
  form.PrintNow("-+-");
  form.PutSprite("O", 200, 200);
  form.RenderFrame();
  EXPECT_EQ(ScreenText(Shown(), sheet, 10, 23, 3), "-+-");
  EXPECT_EQ(form.Record.Screen.CellSpriteCount, 0);
  EXPECT_TRUE(form.Record.Screen.CellSprites.empty());
  EXPECT_EQ(form.Record.Screen.PixelSpriteCount, 0);
  EXPECT_TRUE(form.Record.Screen.PixelSprites.empty());
  form.RenderFrame();
  EXPECT_EQ(Shown(), Background());
  // The paddle is still in the grid, though no longer on screen.
  EXPECT_EQ(form.Record.Screen.Grid.Cell(11, 23), "+");
  EXPECT_EQ(platform.frames_presented, 2);
}

TEST_F(CompositorTest, ClearedGridGivesABlackFrameApartFromQueuedSprites) {
  form.ClearGrid();
  form.RedrawBackground();
  form.RenderFrame();
  EXPECT_EQ(Shown(), Surface()) << "all black";
  form.PutSprite("O", 300, 300);
  form.RenderFrame();
  EXPECT_EQ(ShownAt(292, 292), 'O');
  EXPECT_TRUE(SameOutside(Shown(), Surface(), {{292, 292, 308, 308}}));
}

TEST_F(CompositorTest, SpritePositionArithmeticIsSixteenBit) {
  form.PutSprite("O", -32768, 0);  // -32768 - 8 does not fit
  EXPECT_THROW(form.RenderFrame(), RunTimeError);
  EXPECT_EQ(platform.frames_presented, 0);
}

TEST(BlockCopy, OverlappingCopyWithinOnePictureMovesTheOriginalPixels) {
  Surface s;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x)
      s.Set(x, y, static_cast<uint8_t>(1 + x + 5 * y));
  }
  const Surface original = s;
  BlockCopy(s, 3, 4, 30, 30, s, 0, 0);  // down and right, overlapping itself
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 30; ++x)
      ASSERT_EQ(s.At(3 + x, 4 + y), original.At(x, y));
  }
  s = original;
  BlockCopy(s, 0, 0, 30, 30, s, 2, 6);  // up and left
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 30; ++x)
      ASSERT_EQ(s.At(x, y), original.At(2 + x, 6 + y));
  }
}

TEST(BlockCopy, NothingIsReadOrWrittenOutsideEitherPicture) {
  Surface source;
  source.Fill(7);
  Surface dest;
  BlockCopy(dest, 630, 470, 16, 16, source, 0, 0);
  BlockCopy(dest, 0, 0, 16, 16, source, 630, 470);
  BlockCopy(dest, 100, 100, 16, 16, source, -20, 0);
  BlockCopy(dest, 200, 200, 16, 16, source, 700, 0);
  BlockCopy(dest, 300, 300, 40, 2, source, 0, 0);  // narrower than the picture: its own rows only
  int sevens = 0;
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x)
      sevens += dest.At(x, y) == 7;
  }
  EXPECT_EQ(sevens, 10 * 10 + 10 * 10 + 40 * 2);
  EXPECT_EQ(dest.At(339, 301), 7);
  EXPECT_EQ(dest.At(340, 300), 0);
  EXPECT_EQ(dest.At(639, 479), 7);
  EXPECT_EQ(dest.At(9, 9), 7);
  EXPECT_EQ(dest.At(10, 10), 0);
}

TEST(ChangedCells, OnlyTheCellsThatDifferAreSentInRowRuns) {
  Surface shown;
  Surface next;
  EXPECT_TRUE(ChangedCellRuns(shown, next).empty());

  next.Set(3 * 16 + 15, 2 * 16 + 15, kWhite);  // the last pixel of cell (3, 2)
  std::vector<CellRun> runs = ChangedCellRuns(shown, next);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], (CellRun{48, 32, 16, 16}));

  // Cells (4, 2) and (5, 2) join the run; (7, 2) is a run of its own; the
  // bottom-right cell (39, 29) ends the list.
  next.Set(4 * 16, 2 * 16, kWhite);
  next.Set(5 * 16 + 8, 2 * 16 + 8, kWhite);
  next.Set(7 * 16, 2 * 16, kWhite);
  next.Set(639, 479, kWhite);
  runs = ChangedCellRuns(shown, next);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0], (CellRun{48, 32, 48, 16}));
  EXPECT_EQ(runs[1], (CellRun{112, 32, 16, 16}));
  EXPECT_EQ(runs[2], (CellRun{624, 464, 16, 16}));

  // A whole changed row is one rectangle.
  Surface row_changed;
  for (int x = 0; x < 640; x += 16)
    row_changed.Set(x, 0, kWhite);
  runs = ChangedCellRuns(shown, row_changed);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], (CellRun{0, 0, 640, 16}));
}

}  // namespace
}  // namespace rallix
