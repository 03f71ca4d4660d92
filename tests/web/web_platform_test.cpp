// The web platform on a fake page: the clock, the pacing of the frame loop,
// what reaches the canvas, the sounds, the focus, the taps of the keys and
// touch controls, and the ways the game ends.
#include "web/web_platform.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "display/changed_cells.h"
#include "display/frame_png.h"
#include "display/glyph_origin.h"
#include "display/glyph_sheet.h"
#include "game/form_main.h"
#include "game/main_loop.h"
#include "game/mod_main.h"
#include "tests/support/fake_page.h"
#include "web/canvas_pixels.h"

namespace rallix::web {
namespace {

using testing::FakePage;

// Runs the game on the page for `passes` passes of the frame loop.
void RunPasses(WebPlatform& platform, int64_t passes) {
  FormMain form(platform);
  MainLoop loop(form, platform);
  loop.Run(passes);
}

bool CellShows(const Surface& canvas, int column, int row, char glyph) {
  const GlyphPoint origin = GlyphOriginOf(glyph);
  const Surface& sheet = BuiltInGlyphSheet();
  for (int y = 0; y < kCellSize; ++y) {
    for (int x = 0; x < kCellSize; ++x) {
      if (canvas.At(column * kCellSize + x, row * kCellSize + y) !=
          sheet.At(origin.x + x, origin.y + y))
        return false;
    }
  }
  return true;
}

TEST(WebClock, ThePageClockIsAWholeMillisecondCountThatWraps) {
  EXPECT_EQ(MillisecondCount(0.0), 0);
  EXPECT_EQ(MillisecondCount(1234.99), 1234);
  EXPECT_EQ(MillisecondCount(2147483647.5), INT32_MAX);
  EXPECT_EQ(MillisecondCount(2147483648.0), INT32_MIN);
  EXPECT_EQ(MillisecondCount(4294967296.0 + 7.2), 7);

  FakePage page;
  page.clock = 5000.7;
  WebPlatform platform(page);
  EXPECT_EQ(platform.TimeGetTime(), 5000);
}

TEST(WebPacing, EveryPassLasts17MsAndGivesTheBrowserTheThread) {
  // Browser timers often end a little late; the pass length must not suffer.
  for (double lateness : {0.0, 0.6, 1.0, 2.0}) {
    FakePage page;
    page.timer_lateness = lateness;
    WebPlatform platform(page);
    RunPasses(platform, 300);
    ASSERT_EQ(page.pass_starts.size(), 300u);
    for (size_t pass = 1; pass < page.pass_starts.size(); ++pass) {
      const int32_t length =
          MillisecondCount(page.pass_starts[pass]) - MillisecondCount(page.pass_starts[pass - 1]);
      EXPECT_EQ(length, 17) << "pass " << pass << " with timers " << lateness << " ms late";
    }
    // One sleep of most of the pass in each, and none at a pass's start: the
    // first draws as soon as the program runs.
    ASSERT_EQ(page.sleeps.size(), 300u);
    for (size_t pass = 0; pass < page.sleeps.size(); ++pass)
      EXPECT_GE(page.sleeps[pass], 12) << "pass " << pass;
  }
}

TEST(WebPacing, APassThatNeverSleptGivesWayAtTheStartOfTheNext) {
  FakePage page;
  page.on_pass = [&](int64_t pass) {
    if (pass == 5)
      page.clock += 30;  // a slow pass: no time left to sleep
  };
  WebPlatform platform(page);
  RunPasses(platform, 8);
  ASSERT_EQ(page.sleeps.size(), 8u);
  EXPECT_EQ(page.sleeps[5], 0);  // at the start of pass 6
  // The late pass is not made up: the next one starts at once.
  EXPECT_LT(page.pass_starts[6] - page.pass_starts[5], 31.0);
}

TEST(WebCanvas, TheFirstFrameFillsTheCanvasAndAnUnchangedFrameIsNotPainted) {
  FakePage page;
  WebPlatform platform(page);
  RunPasses(platform, 10);  // the title stands still
  ASSERT_EQ(page.paints.size(), 1u);
  EXPECT_EQ(page.paints[0], std::vector<CanvasRect>{WholeCanvas()});
  EXPECT_TRUE(CellShows(page.canvas, 5, 13, '>'));
  EXPECT_TRUE(CellShows(page.canvas, 6, 10, 'R'));
}

TEST(WebCanvas, ThroughAPlayedGameTheCanvasAlwaysShowsTheLastFrame) {
  FakePage page;
  WebPlatform platform(page);
  std::mt19937 random(8);
  int64_t mismatches = 0;
  page.on_pass = [&](int64_t pass) {
    if (pass > 0 && page.canvas != page.last_frame_painted)
      ++mismatches;
    // Space now and then starts games and leaves their end screens; the
    // arrows move the paddle and roam the menus.
    const char* codes[] = {"Space", "ArrowLeft", "ArrowRight", "ArrowUp", "ArrowDown"};
    const char* code = codes[random() % 5];
    if (random() % 4 == 0)
      platform.KeyDown(code, 0);
    else
      platform.KeyUp(code, 0);
  };
  page.sound_ms = 300;
  RunPasses(platform, 3000);
  EXPECT_EQ(mismatches, 0);
  EXPECT_GT(page.paints.size(), 300u);
  EXPECT_FALSE(page.sounds.empty());
}

TEST(WebCanvas, TheCanvasPixelsOfTheRectanglesTakenAreOpaqueBlackAndWhite) {
  Surface frame;
  frame.Set(0, 0, kWhite);
  frame.Set(639, 479, 7);  // any index but black is white
  frame.Set(20, 10, kWhite);
  CanvasPixels pixels;
  pixels.Take(frame, {CanvasRect{639, 479, 1, 1}, CanvasRect{19, 9, 2, 2}});
  const auto pixel = [&](int x, int y) {
    const uint8_t* at = pixels.Data() + 4 * (y * kScreenWidth + x);
    return std::vector<int>{at[0], at[1], at[2], at[3]};
  };
  EXPECT_EQ(pixel(639, 479), (std::vector<int>{255, 255, 255, 255}));
  EXPECT_EQ(pixel(19, 9), (std::vector<int>{0, 0, 0, 255}));
  EXPECT_EQ(pixel(20, 10), (std::vector<int>{255, 255, 255, 255}));
  // Outside the rectangles nothing was taken.
  EXPECT_EQ(pixel(0, 0), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(pixel(21, 10), (std::vector<int>{0, 0, 0, 0}));
  EXPECT_EQ(pixel(20, 11), (std::vector<int>{0, 0, 0, 0}));
}

TEST(WebCanvas, AScreenshotAskedForIsTheFramePaintedAsThePngTheDesktopWrites) {
  FakePage page;
  WebPlatform platform(page);
  // Asked for on the title: offered once, in the pass's time to spare,
  // after its frame; the title is on the canvas then.
  page.on_pass = [&page](int64_t pass) { page.screenshot_wanted = pass == 5; };
  RunPasses(platform, 8);
  ASSERT_EQ(page.screenshots.size(), 1u);
  EXPECT_EQ(page.screenshots[0], EncodeFramePng(page.canvas));
  EXPECT_TRUE(CellShows(page.canvas, 6, 10, 'R')) << "the title's RALLIX";
}

TEST(WebSounds, SoundsGoToThePageAndAPlayToTheEndGivesWay) {
  FakePage page;
  WebPlatform platform(page);
  platform.PlaySoundAsync("pon.WAV");
  platform.StopSound();
  platform.PlaySoundSync("pupu.WAV");
  EXPECT_EQ(page.sounds, (std::vector<std::string>{"async pon.WAV", "stop", "sync pupu.WAV"}));
  // The browser had the thread while the sound played.
  EXPECT_TRUE(platform.ProcessMessages());
  EXPECT_TRUE(page.sleeps.empty());
  // Without a sleep or a sound since, the next pass gives way itself.
  EXPECT_TRUE(platform.ProcessMessages());
  EXPECT_EQ(page.sleeps, std::vector<int>{0});
}

TEST(WebFocus, WithoutTheKeyboardFocusNothingMovesAndTheKeysAreLetGo) {
  FakePage page;
  WebPlatform platform(page);
  page.in_front = false;
  platform.KeyDown("ArrowDown", 40);
  RunPasses(platform, 5);
  EXPECT_TRUE(page.paints.empty());

  platform.FocusLost();  // the key-up went to another window
  KeySnapshot keys;
  platform.GetKeyboardState(keys);
  EXPECT_FALSE(IsKeyDown(keys, kVkDown));
  page.in_front = true;
  EXPECT_TRUE(platform.IsForeground());
}

TEST(WebTaps, ATapShorterThanAFrameCountsOnceButNotWhileTheGameIsNotInFront) {
  FakePage page;
  WebPlatform platform(page);
  FormMain form(platform);
  MainLoop loop(form, platform);
  const ButtonEvent touch_down{KeySource::kTouch, kVkSpace, true};
  const ButtonEvent touch_up{KeySource::kTouch, kVkSpace, false};
  loop.Run(3);
  ASSERT_EQ(form.Record.State, 1);

  // Paused (or in the background): a touch tap and a key tap, each down and
  // up between two passes, then the game comes back.
  page.in_front = false;
  page.button_events = {touch_down, touch_up};
  loop.Run(2);
  platform.KeyDown("Space", 32);
  platform.KeyUp("Space", 32);
  page.in_front = true;
  loop.Run(3);
  EXPECT_EQ(form.Record.State, 1) << "a tap made while paused started the game";

  // In front, one touch tap between two passes selects "GAME START".
  page.button_events = {touch_down, touch_up};
  loop.Run(3);
  EXPECT_NE(form.Record.State, 1);
}

TEST(WebEnd, QuitGameFromRealKeyEventsEndsTheGameWithTheTitleLeftOnTheCanvas) {
  FakePage page;
  WebPlatform platform(page);
  page.on_pass = [&](int64_t pass) {
    switch (pass) {
      case 3:
      case 7:
        platform.KeyDown("ArrowDown", 40);
        break;
      case 5:
      case 9:
        platform.KeyUp("ArrowDown", 40);
        break;
      case 11:
        platform.KeyDown("Space", 32);
        break;
      default:
        break;
    }
  };
  EXPECT_EQ(Main(platform), 0);
  EXPECT_EQ(page.passes, 12);
  EXPECT_TRUE(CellShows(page.canvas, 5, 17, '>'));
  EXPECT_TRUE(CellShows(page.canvas, 6, 17, 'Q'));
  EXPECT_TRUE(page.lines.empty());
}

TEST(WebEnd, ThePageCanStopTheGameAndAFatalErrorIsShownUnderTheCanvas) {
  FakePage page;
  WebPlatform platform(page);
  page.on_pass = [&](int64_t pass) { page.stop = pass == 4; };
  EXPECT_EQ(Main(platform), 0);
  EXPECT_EQ(page.passes, 5);

  platform.ReportFatalError("Run-time error '6': Overflow");
  EXPECT_EQ(page.lines,
            std::vector<std::string>{"Rallix has stopped: Run-time error '6': Overflow"});
}

}  // namespace
}  // namespace rallix::web
