// Finding the ball in captures: frames composed by the game itself, with the
// ball anywhere, over paddles, cut by the window's edge, or not there.
#include <gtest/gtest.h>

#include <vector>

#include "display/glyph_sheet.h"
#include "game/form_main.h"
#include "tests/e2e/programs/ball_finder.h"
#include "tests/e2e/programs/screen_capture.h"
#include "tests/support/scripted_platform.h"

namespace rallix::e2e {
namespace {

// The frame of a court with both paddles, the ball queued at each point and
// `message` printed at (6, 12).
class CourtFrames : public ::testing::Test {
 protected:
  RgbImage Frame(const std::vector<BallSighting>& balls, const char* message = "") {
    form_.NewGame();
    form_.Locate(6, 12);
    form_.PrintText(message);
    form_.RedrawBackground();
    form_.Locate(12, 23);
    form_.PrintNow("--+--");
    form_.Locate(5, 1);
    form_.PrintNow("-----");
    for (const BallSighting& ball : balls)
      form_.PutSprite("O", static_cast<int16_t>(ball.x), static_cast<int16_t>(ball.y));
    form_.RenderFrame();
    return CaptureOf(platform_.last_frame);
  }

  testing::ScriptedPlatform platform_;
  FormMain form_{platform_};
  BallFinder finder_{BuiltInGlyphSheet()};
};

// The sightings left of the status panel, whose "HI-SCORE", "SCORE" and
// "COM" hold printed O's.
std::vector<BallSighting> InCourt(const std::vector<BallSighting>& found) {
  std::vector<BallSighting> court;
  for (const BallSighting& ball : found) {
    if (ball.x < 22 * kCellSize)
      court.push_back(ball);
  }
  return court;
}

TEST_F(CourtFrames, TheBallIsFoundAtThePointTheGameQueued) {
  for (const BallSighting ball : {BallSighting{80, 32}, BallSighting{171, 245},
                                  BallSighting{104, 200}, BallSighting{335, 399}}) {
    const std::vector<BallSighting> found = InCourt(finder_.Find(Frame({ball})));
    ASSERT_EQ(found.size(), 1u) << ball.x << ", " << ball.y;
    EXPECT_EQ(found[0], ball);
  }
  EXPECT_TRUE(InCourt(finder_.Find(Frame({}))).empty()) << "walls and paddles are no ball";
  EXPECT_EQ(finder_.Find(Frame({})).size(), 3u) << "the panel's printed O's are found too";
}

TEST_F(CourtFrames, TheBallOverAPaddleOrAWallOrCutByTheEdgeIsFound) {
  // Over the player's paddle, over the computer's, across the left wall.
  for (const BallSighting ball :
       {BallSighting{200, 376}, BallSighting{90, 20}, BallSighting{12, 150}}) {
    const std::vector<BallSighting> found = InCourt(finder_.Find(Frame({ball})));
    ASSERT_EQ(found.size(), 1u) << ball.x << ", " << ball.y;
    EXPECT_EQ(found[0], ball);
  }
  // Leaving through the top: half of the block and more still shows.
  std::vector<BallSighting> found = InCourt(finder_.Find(Frame({{100, 1}})));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0], (BallSighting{100, 1}));
  found = InCourt(finder_.Find(Frame({{2, 100}})));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0], (BallSighting{2, 100}));
  // Less than half of it inside is not taken for a ball.
  EXPECT_TRUE(InCourt(finder_.Find(Frame({{100, -2}}))).empty());
}

TEST_F(CourtFrames, TwoBallsAndAPrintedOAreAllReportedInReadingOrder) {
  const std::vector<BallSighting> found =
      InCourt(finder_.Find(Frame({{250, 300}, {60, 100}}, "GAME OVER")));
  // The "O" of "OVER" stands in column 11 of row 12.
  const std::vector<BallSighting> expected = {{60, 100}, {11 * 16 + 8, 12 * 16 + 8}, {250, 300}};
  EXPECT_EQ(found, expected);
}

TEST_F(CourtFrames, APixelOfAnotherColourInTheBlockIsNoBall) {
  RgbImage capture = Frame({{150, 150}});
  capture.pixels[static_cast<size_t>(150) * kScreenWidth + 150] = 0x00FF00;
  EXPECT_TRUE(InCourt(finder_.Find(capture)).empty());
  // Nor a capture of another size, where the game's frame cannot be.
  RgbImage small;
  small.width = 4;
  small.height = 4;
  small.pixels.assign(16, kRgbBlack);
  EXPECT_TRUE(InCourt(finder_.Find(small)).empty());
}

}  // namespace
}  // namespace rallix::e2e
