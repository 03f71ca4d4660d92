// How a point is played out: the new game, the serve, the two goals, the
// player's miss with its sound and screen, and the rally's own error trap.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "base/run_time_error.h"
#include "tests/support/rally_court.h"
#include "tests/support/screen_text.h"

namespace rallix {
namespace {

using testing::AngleOf;
using testing::GridText;
using testing::RallyCourt;
using testing::RenderedBackground;
using testing::SoundEvent;

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();

// Walls in columns 0 and 21 and nothing but spaces between them, rows 0..24.
void ExpectEmptyCourt(const GameRecord& r) {
  for (int row = 0; row <= 24; ++row) {
    EXPECT_EQ(GridText(r.Screen.Grid, 0, row, 22), "|                    |") << "row " << row;
  }
}

// ----------------------------------------------------------------- new game

TEST(NewGame, ResetsTheGameAndKeepsHighScoreAndSettings) {
  RallyCourt court;
  FormMain& form = court.form;
  GameRecord& r = court.record();
  r.Score = 51200;
  r.HiScore = 51200;
  r.PlayerPoints = 3;
  r.ComPoints = 4;
  r.Stage = 5;
  r.SetCount = 7;
  r.Level = 3;
  r.BallSpeed = 4;
  r.PlayerPaddleKind = 0;
  r.ComPaddleKind = 2;
  r.MenuCursor = 2;
  r.KeyLatchSpace = kTrue;
  form.Locate(6, 12);
  form.PrintText("GAME OVER");
  form.Locate(33, 27);
  form.PrintText("X");

  form.NewGame();

  EXPECT_EQ(r.Score, 0);
  EXPECT_EQ(r.PlayerPoints, 0);
  EXPECT_EQ(r.ComPoints, 0);
  EXPECT_EQ(r.Stage, 1);
  EXPECT_EQ(r.HiScore, 51200);
  EXPECT_EQ(r.SetCount, 7);
  EXPECT_EQ(r.Level, 3);
  EXPECT_EQ(r.BallSpeed, 4);
  EXPECT_EQ(r.PlayerPaddleKind, 0);
  EXPECT_EQ(r.ComPaddleKind, 2);
  EXPECT_EQ(r.MenuCursor, 2);
  EXPECT_EQ(r.KeyLatchSpace, kTrue);
  EXPECT_EQ(r.State, kStateServe);
  EXPECT_EQ(r.StateEntered, kTrue);
  // A cleared grid with the court and a fresh panel: no message, no paddle,
  // nothing left outside the court.
  ExpectEmptyCourt(r);
  EXPECT_EQ(GridText(r.Screen.Grid, 22, 1, 8), ".  51200");
  EXPECT_EQ(GridText(r.Screen.Grid, 23, 3, 7), "      0");
  EXPECT_EQ(GridText(r.Screen.Grid, 25, 8, 5), "    0");
  EXPECT_EQ(GridText(r.Screen.Grid, 25, 16, 5), "    0");
  EXPECT_EQ(GridText(r.Screen.Grid, 30, 27, 5), ".....");
  // Rendered into the background in the same frame, with nothing queued.
  EXPECT_TRUE(form.Pictures.PictureBackGround == RenderedBackground(r.Screen.Grid));
  EXPECT_TRUE(r.Screen.CellSprites.empty());
  EXPECT_TRUE(r.Screen.PixelSprites.empty());
}

// -------------------------------------------------------------------- serve

TEST(Serve, PlacesBallAndPaddlesAndHandsOverToTheRally) {
  RallyCourt court;
  GameRecord& r = court.record();
  r.BallSpeed = 4;
  court.PlaceBall(300, 300, 1, 1);
  r.PlayerX = 2;
  r.ComX = 15;
  r.StateEntered = kTrue;
  court.NewSounds();
  court.form.ServeBall();
  EXPECT_EQ(r.BallX, 80);
  EXPECT_EQ(r.BallY, 32);
  EXPECT_EQ(r.PlayerX, 12);
  EXPECT_EQ(r.ComX, 5);
  EXPECT_EQ(r.State, kStateRally);
  EXPECT_EQ(r.StateEntered, kTrue);  // raised again by the change of state
  EXPECT_NEAR(std::hypot(r.BallVX, r.BallVY), 4.0, 1e-12);
  EXPECT_GT(r.BallVY, 0);
  // The serve frame queues nothing and plays nothing.
  EXPECT_TRUE(r.Screen.CellSprites.empty());
  EXPECT_TRUE(r.Screen.PixelSprites.empty());
  EXPECT_TRUE(court.NewSounds().empty());
}

TEST(Serve, AnglesCoverExactly127To231OverManyClocks) {
  RallyCourt court;
  GameRecord& r = court.record();
  std::array<int, 400> seen{};
  int outside = 0;
  for (int32_t clock = 0; clock < 100000; ++clock) {
    court.platform.now = clock * 7 + 13;
    court.form.ServeBall();
    const std::optional<int> angle = AngleOf(court.form, r.BallVX, r.BallVY);
    ASSERT_TRUE(angle.has_value()) << "clock " << clock;
    if (*angle < 127 || *angle > 231) {
      ++outside;
    } else {
      ++seen[static_cast<size_t>(*angle)];
    }
  }
  EXPECT_EQ(outside, 0);
  // Every angle of the range is served, the rarest (127, 231: one draw in
  // 1440 each) included.
  for (int angle = 127; angle <= 231; ++angle)
    EXPECT_GT(seen[angle], 0) << angle;
}

TEST(Serve, FirstDrawIsTheJitterSecondTheSpreadInSinglePrecision) {
  // Reseeded from the clock 802110 the generator draws r1 = 354244 / 2^24
  // (0.0211) and then r2 = 16217975 / 2^24 (0.96666664). The jitter is
  // floor(16 r1) - 8 = 0 - 8 = -8. 90 r2 is 86.9999975, which single
  // precision rounds to 87: the spread is 87 + 135 = 222 and the angle 214. In
  // double it would be 213; with the draws the other way round, 7 + 136 = 143.
  RandomSource source;
  source.Reseed(802110);
  ASSERT_EQ(source.Next(), 354244 / 16777216.0f);
  ASSERT_EQ(source.Next(), 16217975 / 16777216.0f);
  RallyCourt court;
  court.platform.now = 802110;
  court.form.ServeBall();
  EXPECT_EQ(AngleOf(court.form, court.record().BallVX, court.record().BallVY),
            std::optional<int>(214));
}

// -------------------------------------------------------------------- goals

TEST(Goals, TestedOnTheMovedBallWhichIsStillQueued) {
  RallyCourt court;
  GameRecord& r = court.record();
  // Top: BallY <= 1 after the move.
  court.PlaceBall(100, 1.5, 0, std::nextafter(1.0, 2.0) - 1.5);
  court.Frame();
  EXPECT_EQ(r.State, kStateRally);
  court.PlaceBall(100, 1.5, 0.25, -0.5);
  court.form.PlayRally();
  EXPECT_EQ(r.State, kStatePlayerPoint);
  EXPECT_EQ(r.StateEntered, kTrue);
  ASSERT_EQ(r.Screen.PixelSprites.size(), 1u);
  EXPECT_EQ(r.Screen.PixelSprites[0], (SpriteEntry{100, 1, 'O'}));
  r.Screen.EmptyQueues();
  EXPECT_EQ(r.ComPoints, 0);

  // Bottom: BallY >= 400 after the move.
  r.State = kStateRally;
  court.PlaceBall(3, 399.5, -3.5, std::nextafter(400.0, 0.0) - 399.5);
  court.Frame();
  EXPECT_EQ(r.State, kStateRally);
  EXPECT_EQ(r.ComPoints, 0);
  court.PlaceBall(3, 399.5, -3.5, 0.5);
  court.form.PlayRally();
  EXPECT_EQ(r.ComPoints, 1);
  EXPECT_EQ(r.State, kStateServe);
  // Queued at the new position, rounded down: x = -0.5 gives -1.
  ASSERT_EQ(r.Screen.PixelSprites.size(), 1u);
  EXPECT_EQ(r.Screen.PixelSprites[0], (SpriteEntry{-1, 400, 'O'}));
}

// --------------------------------------------------------------- the miss

// A rally frame in which the ball goes out through the bottom.
void Miss(RallyCourt& court) {
  court.PlaceBall(200, 396, 1, 8);
  court.NewSounds();
  court.form.PlayRally();
}

TEST(PlayerMiss, StopsPlaysScoresRedrawsAndServesAgain) {
  RallyCourt court;
  GameRecord& r = court.record();
  court.platform.sync_sound_ms = 700;
  r.ComPoints = 1;
  r.Score = 1200;
  const int32_t clock_before = court.platform.now;
  Miss(court);
  const std::vector<SoundEvent> sounds = court.NewSounds();
  ASSERT_EQ(sounds.size(), 2u);
  EXPECT_EQ(sounds[0].kind, SoundEvent::Kind::kStop);
  EXPECT_EQ(sounds[1].kind, SoundEvent::Kind::kSync);
  EXPECT_EQ(sounds[1].file, "pupu.WAV");
  EXPECT_EQ(court.platform.now - clock_before, 700);  // the frame waited for it
  EXPECT_EQ(r.ComPoints, 2);
  EXPECT_EQ(r.State, kStateServe);
  EXPECT_EQ(r.StateEntered, kTrue);
  // The court drawn again, paddles wiped from the grid, new count shown, and
  // rendered into the background in this frame.
  ExpectEmptyCourt(r);
  EXPECT_EQ(GridText(r.Screen.Grid, 25, 8, 5), "    2");
  EXPECT_EQ(GridText(r.Screen.Grid, 23, 3, 7), "   1200");
  EXPECT_TRUE(court.form.Pictures.PictureBackGround == RenderedBackground(r.Screen.Grid));
}

TEST(PlayerMiss, ComputerReachingTheSetCountEndsTheGame) {
  RallyCourt court;
  GameRecord& r = court.record();
  r.SetCount = 3;
  r.ComPoints = 1;
  Miss(court);
  EXPECT_EQ(r.State, kStateServe);
  Miss(court);
  EXPECT_EQ(r.ComPoints, 3);
  EXPECT_EQ(r.State, kStateGameEnd);
  EXPECT_EQ(r.StateEntered, kTrue);
  EXPECT_EQ(GridText(r.Screen.Grid, 6, 12, 9), "GAME OVER");
  EXPECT_EQ(GridText(r.Screen.Grid, 4, 15, 14), "PUSH SPACE KEY");
  // Printed into the grid after the background was rendered: the background
  // holds the court with the new count but not the two lines yet.
  GameRecord without_lines = r;
  without_lines.Screen.Locate(6, 12);
  without_lines.Screen.PrintText("         ");
  without_lines.Screen.Locate(4, 15);
  without_lines.Screen.PrintText("              ");
  EXPECT_TRUE(court.form.Pictures.PictureBackGround ==
              RenderedBackground(without_lines.Screen.Grid));
  EXPECT_FALSE(court.form.Pictures.PictureBackGround == RenderedBackground(r.Screen.Grid));
}

// ------------------------------------------------------------ the error trap

TEST(RallyErrorTrap, ErrorInTheMovesSkipsThemButNotTheGoalTests) {
  RallyCourt court;
  GameRecord& r = court.record();
  // An unknown paddle kind fails at once, on the player's paddle.
  r.PlayerPaddleKind = 3;
  r.StateEntered = kTrue;
  court.PlaceBall(100, 0.5, 3, -8);
  EXPECT_NO_THROW(court.form.PlayRally());
  EXPECT_EQ(r.BallX, 100);  // not moved, not queued
  EXPECT_EQ(r.BallY, 0.5);
  EXPECT_TRUE(r.Screen.CellSprites.empty());
  EXPECT_TRUE(r.Screen.PixelSprites.empty());
  EXPECT_EQ(r.State, kStatePlayerPoint);  // the top goal is still seen

  r.State = kStateRally;
  court.PlaceBall(100, 420, 3, 8);
  EXPECT_NO_THROW(court.form.PlayRally());
  EXPECT_EQ(r.ComPoints, 1);  // and the bottom one
  EXPECT_EQ(r.State, kStateServe);
}

TEST(RallyErrorTrap, TheStepsBeforeTheErrorKeepTheirEffects) {
  RallyCourt court;
  GameRecord& r = court.record();
  // The computer's paddle kind fails after the player's paddle has moved.
  r.ComPaddleKind = -1;
  r.PlayerX = 12;
  court.platform.Hold({kVkRight});
  court.PlaceBall(100, 200, 3, 4);
  EXPECT_NO_THROW(court.form.PlayRally());
  EXPECT_EQ(r.PlayerX, 13);
  EXPECT_EQ(r.Screen.CellSprites.size(), 10u);  // the player's blank and shape only
  EXPECT_EQ(r.BallX, 100);
  EXPECT_EQ(r.State, kStateRally);
  r.Screen.EmptyQueues();

  // A wall test outside the grid (a ball far right of the court) fails in
  // step 11: the ball is neither moved nor queued.
  r.ComPaddleKind = 1;
  court.PlaceBall(650, 200, 0, 4);
  EXPECT_NO_THROW(court.form.PlayRally());
  EXPECT_EQ(r.BallY, 200);
  EXPECT_TRUE(r.Screen.PixelSprites.empty());
  EXPECT_EQ(r.Screen.CellSprites.size(), 20u);  // both paddles were drawn
}

// Its first stop of a sound fails with a run-time error.
class StopFailsOnce : public testing::ScriptedPlatform {
 public:
  void StopSound() override {
    if (!failed_) {
      failed_ = true;
      RaiseOverflow();
    }
    ScriptedPlatform::StopSound();
  }

 private:
  bool failed_ = false;
};

TEST(RallyErrorTrap, ErrorInTheGoalTestsRunsThemOnceMore) {
  StopFailsOnce platform;
  FormMain form(platform);
  form.NewGame();
  form.ServeBall();
  form.Record.BallY = 396;
  form.Record.BallVY = 8;
  EXPECT_NO_THROW(form.PlayRally());
  // The first run failed at the stop; the second played the miss in full, once.
  EXPECT_EQ(form.Record.ComPoints, 1);
  EXPECT_EQ(platform.SoundFiles(), std::vector<std::string>{"pupu.WAV"});
  EXPECT_EQ(form.Record.State, kStateServe);
}

// Plays one rally frame that must fail with the overflow error.
void ExpectOverflowOut(RallyCourt& court) {
  try {
    court.form.PlayRally();
    ADD_FAILURE() << "no error left the rally";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.Code(), RunTimeErrorCode::kOverflow);
  }
}

std::vector<std::string> Files(const std::vector<SoundEvent>& sounds) {
  std::vector<std::string> files;
  for (const SoundEvent& event : sounds)
    files.push_back(event.file);
  return files;
}

TEST(RallyErrorTrap, AnErrorInTheRerunPassesToTheCaller) {
  // The count cannot go past the 32-bit limit: the miss fails, is run once
  // more, fails again, and that error leaves the rally.
  RallyCourt court;
  GameRecord& r = court.record();
  r.ComPoints = kInt32Max;
  court.PlaceBall(200, 396, 1, 8);
  court.NewSounds();
  ExpectOverflowOut(court);
  EXPECT_EQ(Files(court.NewSounds()), (std::vector<std::string>{"", "pupu.WAV", "", "pupu.WAV"}));
  EXPECT_EQ(r.ComPoints, kInt32Max);
}

TEST(RallyErrorTrap, AnErrorAfterAnEarlierOnePassesAtOnce) {
  RallyCourt court;
  GameRecord& r = court.record();
  r.ComPoints = kInt32Max;
  r.PlayerPaddleKind = 3;
  court.PlaceBall(200, 420, 1, 8);
  court.NewSounds();
  ExpectOverflowOut(court);
  EXPECT_EQ(Files(court.NewSounds()), (std::vector<std::string>{"", "pupu.WAV"}));
}

}  // namespace
}  // namespace rallix
