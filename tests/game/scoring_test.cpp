// The player's points, the stage bonus, the stage-won and game-end screens
// and the way back to the title.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/run_time_error.h"
#include "tests/support/game_session.h"

namespace rallix::testing {
namespace {

const std::string kEmptyField(20, ' ');

class Scoring : public ::testing::Test {
 protected:
  // "GAME START" from the title with a fresh Space press (still held after),
  // then the new-game frame: the next frame serves.
  void NewGameFromTitle() {
    s.Press({kVkSpace});
    ASSERT_EQ(r.State, kStateNewGame);
    s.Run();
    ASSERT_EQ(r.State, kStateServe);
  }

  // The computer has missed: the rally hands over to the player's point,
  // whose first frame runs in the next pass.
  void PlayerScores() {
    s.form.SetState(kStatePlayerPoint);
    s.Run();
  }

  // The stage is one point from being won by the player.
  void OnePointFromWinning(int16_t stage, int32_t com_points) {
    r.Stage = stage;
    r.PlayerPoints = r.SetCount - 1;
    r.ComPoints = com_points;
  }

  GameSession s;
  GameRecord& r = s.Record();
};

TEST_F(Scoring, TheBonusCountsPointsTimesTheStageAndFillsAFiveCharacterField) {
  struct Case {
    int16_t set_count;
    int16_t stage;
    int32_t com_points;
    int32_t bonus;
    const char* field;
  };
  const std::vector<Case> cases = {
      {5, 3, 4, 18000, "18000"},    // (10 - 4) x 3000
      {2, 1, 1, 3000, " 3000"},     // the smallest bonus, right-aligned
      {5, 1, 0, 10000, "10000"},    //
      {10, 4, 9, 44000, "44000"},   // (20 - 9) x 4000
      {10, 5, 0, 100000, "00000"},  // the largest: only its last five digits
      {7, 5, 6, 40000, "40000"},    // (14 - 6) x 5000
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "SetCount " << c.set_count << ", stage " << c.stage
                                      << ", computer " << c.com_points);
    GameSession session;
    GameRecord& record = session.Record();
    record.SetCount = c.set_count;
    record.Stage = c.stage;
    record.PlayerPoints = c.set_count - 1;
    record.ComPoints = c.com_points;
    record.Score = 12300;
    session.form.SetState(kStatePlayerPoint);
    session.Run();
    EXPECT_EQ(record.Score, 12300 + 100 + c.bonus);
    EXPECT_EQ(session.GridText(11, 16, 5), c.field);
    EXPECT_TRUE(session.Shows(11, 16, c.field));
  }
}

TEST_F(Scoring, StageTimesAThousandIsASixteenBitProduct) {
  // Out of play, but the rule holds: 32 x 1000 fits, 33 x 1000 overflows.
  r.SetCount = 2;
  OnePointFromWinning(32, 0);
  r.Score = 0;
  s.form.SetState(kStatePlayerPoint);
  s.form.PlayerPointScored();
  EXPECT_EQ(r.Score, 100 + 4 * 32000);

  OnePointFromWinning(33, 0);
  s.form.SetState(kStatePlayerPoint);
  try {
    s.form.PlayerPointScored();
    ADD_FAILURE() << "no overflow";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.Code(), RunTimeErrorCode::kOverflow);
  }
}

TEST_F(Scoring, WithSetCountTwoTheSecondPointWinsTheStage) {
  r.SetCount = 2;
  NewGameFromTitle();
  PlayerScores();
  EXPECT_EQ(r.State, kStateServe);
  EXPECT_EQ(r.Score, 100);
  PlayerScores();
  EXPECT_EQ(r.State, kStatePlayerPoint);
  EXPECT_EQ(r.Score, 200 + 4000);
  EXPECT_EQ(s.GridText(7, 12, 7), "YOU WIN");
}

TEST_F(Scoring, SpaceHeldThroughTheWinningPointDoesNotSkipTheBonusScreen) {
  NewGameFromTitle();  // Space stays down from the press that started the game
  s.Run();             // the serve
  OnePointFromWinning(1, 3);
  PlayerScores();
  ASSERT_EQ(r.State, kStatePlayerPoint);
  const int32_t score = r.Score;
  EXPECT_EQ(score, 100 + (5 + 5 - 3) * 1000);  // the last point and the bonus
  s.Run(30);
  EXPECT_EQ(r.State, kStatePlayerPoint);
  EXPECT_TRUE(s.Shows(7, 12, "YOU WIN"));

  // Released, then pressed again: the next stage, on a grid cleared outside
  // the court as well.
  r.Screen.Locate(3, 27);
  r.Screen.PrintText("LEFT OVER");
  r.Screen.Locate(33, 5);
  r.Screen.PrintText("X");
  s.platform.ReleaseAll();
  s.Run();
  EXPECT_EQ(r.State, kStatePlayerPoint);
  s.platform.Hold({kVkSpace});
  s.Run();
  EXPECT_EQ(r.State, kStateServe);
  EXPECT_EQ(r.Stage, 2);
  EXPECT_EQ(r.PlayerPoints, 0);
  EXPECT_EQ(r.ComPoints, 0);
  EXPECT_EQ(r.Score, score);

  // A court without messages, the panel with both counts at 0, nothing
  // outside; the frame of the press shows it already.
  for (int row = 0; row <= 24; ++row)
    EXPECT_EQ(s.FieldRow(row), kEmptyField) << "row " << row;
  for (int row = 25; row < kGridRows; ++row) {
    EXPECT_EQ(s.GridText(0, row, kGridColumns), std::string(kGridColumns, '.'));
  }
  EXPECT_EQ(s.GridText(30, 5, kGridColumns - 30), std::string(kGridColumns - 30, '.'));
  EXPECT_EQ(s.GridText(25, 8, 5), "    0");
  EXPECT_EQ(s.GridText(25, 16, 5), "    0");
  EXPECT_EQ(s.GridText(23, 3, 7), "   " + std::to_string(score));
  EXPECT_TRUE(s.Shows(1, 12, kEmptyField));
  EXPECT_TRUE(s.Shows(1, 16, kEmptyField));

  // And a new serve.
  s.Run();
  EXPECT_EQ(r.State, kStateRally);
  EXPECT_EQ(r.BallX, 80);
  EXPECT_EQ(r.BallY, 32);
}

TEST_F(Scoring, TheFrameThatShowsYouWinAlreadyReadsSpaceButChampionEndsTheFrame) {
  // A Space press whose edge has not been seen yet acts on the very frame of
  // "YOU WIN", which goes on with the wait step.
  r.Stage = 2;
  OnePointFromWinning(2, 0);
  r.KeyLatchSpace = kFalse;
  s.platform.Hold({kVkSpace});
  s.form.SetState(kStatePlayerPoint);
  s.Run();
  EXPECT_EQ(r.State, kStateServe);
  EXPECT_EQ(r.Stage, 3);
  EXPECT_EQ(r.PlayerPoints, 0);
  EXPECT_EQ(r.Score, 100 + (5 + 5) * 2000);

  // After "YOU ARE CHAMPION" the frame ends: no key is read in it.
  OnePointFromWinning(5, 0);
  r.KeyLatchSpace = kFalse;
  s.form.SetState(kStatePlayerPoint);
  s.Run();
  EXPECT_EQ(r.State, kStateGameEnd);
  EXPECT_EQ(r.StateEntered, kTrue);
  EXPECT_EQ(r.Stage, 5);
  EXPECT_EQ(r.KeyLatchSpace, kFalse);
  EXPECT_EQ(s.GridText(3, 12, 16), "YOU ARE CHAMPION");
}

TEST_F(Scoring, StagesOneToFourEndWithYouWinAndStageFiveWithChampion) {
  NewGameFromTitle();
  for (int16_t stage = 1; stage <= 5; ++stage) {
    SCOPED_TRACE(::testing::Message() << "stage " << stage);
    ASSERT_EQ(r.Stage, stage);
    s.Run();  // the serve
    OnePointFromWinning(stage, 1);
    PlayerScores();
    EXPECT_EQ(s.GridText(5, 15, 11), "BONUS POINT");
    EXPECT_EQ(s.GridText(4, 18, 14), "PUSH SPACE KEY");
    if (stage <= 4) {
      EXPECT_EQ(r.State, kStatePlayerPoint);
      EXPECT_EQ(s.GridText(7, 12, 7), "YOU WIN");
      EXPECT_EQ(s.GridText(3, 12, 16), "    YOU WIN     ");
      s.Press({kVkSpace});
      EXPECT_EQ(r.State, kStateServe);
    } else {
      EXPECT_EQ(r.State, kStateGameEnd);
      EXPECT_EQ(s.GridText(3, 12, 16), "YOU ARE CHAMPION");
      EXPECT_TRUE(s.Shows(3, 12, "YOU ARE CHAMPION"));
    }
  }
  const int32_t final_score = 5 * 100 + (5 + 5 - 1) * (1 + 2 + 3 + 4 + 5) * 1000;
  EXPECT_EQ(r.Score, final_score);

  // The end screen waits for a fresh Space; its frame still shows the screen.
  s.Run(10);
  EXPECT_EQ(r.State, kStateGameEnd);
  s.Press({kVkSpace});
  EXPECT_EQ(r.State, kStateTitle);
  EXPECT_TRUE(s.Shows(3, 12, "YOU ARE CHAMPION"));
  for (int row = 0; row < kGridRows; ++row) {
    EXPECT_EQ(s.GridText(0, row, kGridColumns), std::string(kGridColumns, '.'));
  }

  // The title shows the finished game's panel, built on the cleared grid.
  s.Run();
  EXPECT_EQ(s.GridText(6, 13, 10), "GAME START");
  EXPECT_EQ(s.GridText(23, 3, 7), " " + std::to_string(final_score));
  EXPECT_EQ(s.GridText(23, 1, 7), " " + std::to_string(final_score));
  EXPECT_EQ(s.GridText(25, 16, 5), "    5");
  EXPECT_EQ(s.GridText(25, 8, 5), "    1");
  EXPECT_EQ(s.FieldRow(12), kEmptyField);
  EXPECT_EQ(s.FieldRow(16), kEmptyField);
  EXPECT_EQ(s.FieldRow(18), kEmptyField);
  EXPECT_TRUE(s.Shows(23, 3, " " + std::to_string(final_score)));
}

TEST_F(Scoring, EachPlayerPointStopsTheSoundAndPlaysPipopinToItsEnd) {
  NewGameFromTitle();
  s.Run();
  s.platform.sounds.clear();
  const int64_t first = s.platform.frames_presented;
  PlayerScores();
  PlayerScores();
  OnePointFromWinning(1, 0);
  PlayerScores();  // the stage is won: one sound all the same
  s.Run(5);        // the bonus screen waits without a sound
  const std::vector<SoundEvent> expected = {
      {SoundEvent::Kind::kStop, "", first},     {SoundEvent::Kind::kSync, "pipopin.WAV", first},
      {SoundEvent::Kind::kStop, "", first + 1}, {SoundEvent::Kind::kSync, "pipopin.WAV", first + 1},
      {SoundEvent::Kind::kStop, "", first + 2}, {SoundEvent::Kind::kSync, "pipopin.WAV", first + 2},
  };
  EXPECT_EQ(s.platform.sounds, expected);
}

// The one home of the high-score rule: after every point, the player's or
// the computer's, and after a bonus, HiScore becomes Score if that is greater.
TEST_F(Scoring, HiScoreFollowsTheScoreAfterEveryPointAndBonus) {
  NewGameFromTitle();
  s.Run();
  r.Score = 29850;  // as after earlier stages
  // The player's points: 29950 leaves 30000 alone; 30050 and 30150 raise it.
  for (int32_t hi : {30000, 30050, 30150}) {
    PlayerScores();
    EXPECT_EQ(r.HiScore, hi);
    s.Run();  // the serve
  }
  EXPECT_EQ(s.GridText(23, 1, 7), "  30150");

  // The computer's points: a score ahead of the high score raises it, one
  // behind leaves it.
  for (int32_t score : {30200, 100}) {
    r.Score = score;
    r.BallX = 40;
    r.BallY = 396;
    r.BallVX = 0;
    r.BallVY = 8;
    s.Run();
    EXPECT_EQ(r.HiScore, 30200);
    s.Run();  // the serve
  }
  EXPECT_EQ(r.ComPoints, 2);

  // The bonus: stage 1 won 5 to 2 from 30200 is 30300 with the point, then
  // (5 + 5 - 2) x 1000 = 8000 more.
  r.Score = 30200;
  OnePointFromWinning(1, 2);
  PlayerScores();
  EXPECT_EQ(r.Score, 38300);
  EXPECT_EQ(r.HiScore, 38300);
  EXPECT_EQ(s.GridText(23, 1, 7), "  38300");
}

TEST_F(Scoring, GameOverShowsFromTheGameEndFrameAndSpaceReturnsToTheTitle) {
  NewGameFromTitle();
  s.Run();
  r.Score = 700;
  r.PlayerPoints = 2;
  r.ComPoints = r.SetCount - 1;
  r.BallX = 40;
  r.BallY = 396;
  r.BallVX = 0;
  r.BallVY = 8;
  s.Run();  // the computer's last point
  ASSERT_EQ(r.State, kStateGameEnd);
  EXPECT_EQ(s.GridText(6, 12, 9), "GAME OVER");
  EXPECT_FALSE(s.Shows(6, 12, "GAME OVER"));  // printed after the redraw

  // The game-end state renders the background on every frame.
  s.Run();
  EXPECT_TRUE(s.Shows(6, 12, "GAME OVER"));
  EXPECT_TRUE(s.Shows(4, 15, "PUSH SPACE KEY"));
  r.Screen.Locate(6, 20);
  r.Screen.PrintText("AGAIN");
  s.Run();
  EXPECT_TRUE(s.Shows(6, 20, "AGAIN"));

  // Space still held from the game's start does nothing until pressed again.
  s.Run(20);
  EXPECT_EQ(r.State, kStateGameEnd);
  s.Press({kVkSpace});
  EXPECT_EQ(r.State, kStateTitle);
  EXPECT_TRUE(s.Shows(6, 12, "GAME OVER"));
  s.Run();
  EXPECT_EQ(r.MenuCursor, 0);
  EXPECT_EQ(s.GridText(6, 13, 10), "GAME START");
  EXPECT_EQ(s.FieldRow(12), kEmptyField);
  EXPECT_EQ(s.GridText(23, 3, 7), "    700");
  EXPECT_EQ(s.GridText(25, 8, 5), "    5");
  EXPECT_EQ(s.GridText(25, 16, 5), "    2");
  EXPECT_TRUE(s.Shows(25, 8, "    5"));
}

}  // namespace
}  // namespace rallix::testing
