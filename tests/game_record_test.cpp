// The game record after the window loads, the settings' steps and the paddle
// tables.
#include "game/game_record.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/run_time_error.h"
#include "game/form_main.h"
#include "tests/support/scripted_platform.h"

namespace rallix {
namespace {

TEST(GameRecordAfterLoad, EveryFieldHasItsStartValue) {
  testing::ScriptedPlatform platform;
  FormMain form(platform);
  const GameRecord& r = form.Record;
  EXPECT_TRUE(r.Screen.CellSprites.empty());
  EXPECT_EQ(r.Screen.CellSpriteCount, 0);
  EXPECT_TRUE(r.Screen.PixelSprites.empty());
  EXPECT_EQ(r.Screen.PixelSpriteCount, 0);
  EXPECT_EQ(r.Screen.Grid, TextGrid());
  EXPECT_EQ(r.Screen.Grid.Cell(0, 0), "");
  EXPECT_EQ(r.Screen.CursorX, 0);
  EXPECT_EQ(r.Screen.CursorY, 0);
  EXPECT_EQ(r.HiScore, 30000);
  EXPECT_EQ(r.Score, 0);
  EXPECT_EQ(r.PlayerPoints, 0);
  EXPECT_EQ(r.ComPoints, 0);
  EXPECT_EQ(r.State, 1);
  EXPECT_EQ(r.BallX, 0.0);
  EXPECT_EQ(r.BallY, 0.0);
  EXPECT_EQ(r.BallVX, 0.0);
  EXPECT_EQ(r.BallVY, 0.0);
  EXPECT_EQ(r.PlayerX, 0);
  EXPECT_EQ(r.ComX, 0);
  EXPECT_EQ(r.Stage, 0);
  EXPECT_EQ(r.StateEntered, -1);
  EXPECT_EQ(r.KeyLatchUp, 0);
  EXPECT_EQ(r.KeyLatchDown, 0);
  EXPECT_EQ(r.KeyLatchSpace, 0);
  EXPECT_EQ(r.MenuCursor, 0);
  EXPECT_EQ(r.SetCount, 5);
  EXPECT_EQ(r.BallSpeed, 8);
  EXPECT_EQ(r.Level, 1);
  EXPECT_EQ(r.PlayerPaddleKind, 1);
  EXPECT_EQ(r.ComPaddleKind, 1);
  // Loading draws nothing and presents nothing.
  EXPECT_EQ(platform.frames_presented, 0);
  EXPECT_EQ(form.Pictures.PictureMain, Surface());
}

TEST(GameRecordAfterLoad, PaddleTablesHoldTheThreeSizes) {
  testing::ScriptedPlatform platform;
  FormMain form(platform);
  const GameRecord& r = form.Record;
  const PaddleKind player[] = {
      {"-+-", "   ", 18, 3}, {"--+--", "     ", 16, 5}, {"---+---", "       ", 14, 7}};
  const PaddleKind com[] = {
      {"---", "   ", 18, 3}, {"-----", "     ", 16, 5}, {"-------", "       ", 14, 7}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(r.PlayerPaddles(i), player[i]) << "player " << i;
    EXPECT_EQ(r.ComPaddles(i), com[i]) << "computer " << i;
    // A paddle whose left end is in 1..MaxX stays inside the playing columns.
    EXPECT_EQ(r.PlayerPaddles(i).MaxX + r.PlayerPaddles(i).Width, 21);
    EXPECT_EQ(r.PlayerPaddles(i).Shape.size(), static_cast<size_t>(r.PlayerPaddles(i).Width));
  }
  // The defaults are the middle paddles.
  EXPECT_EQ(r.PlayerPaddles(r.PlayerPaddleKind).Shape, "--+--");
  EXPECT_EQ(r.ComPaddles(r.ComPaddleKind).Shape, "-----");
}

TEST(GameRecordAfterLoad, EveryLoadStartsFromTheSameDefaults) {
  testing::ScriptedPlatform platform;
  FormMain first(platform);
  first.Record.HiScore = 45600;
  first.Record.SetCount = 9;
  first.Record.Level = 4;
  first.Record.BallSpeed = 4;
  first.Record.PlayerPaddleKind = 0;
  first.Record.ComPaddleKind = 2;
  FormMain second(platform);
  FormMain fresh(platform);
  EXPECT_EQ(second.Record, fresh.Record);
  EXPECT_EQ(second.Record.HiScore, 30000);
}

TEST(GameRecordAfterLoad, RecordsCompareFieldByField) {
  testing::ScriptedPlatform platform;
  FormMain a(platform);
  FormMain b(platform);
  ASSERT_EQ(a.Record, b.Record);
  b.Record.BallVY = 1e-9;
  EXPECT_NE(a.Record, b.Record);
  b.Record = a.Record;
  b.Record.KeyLatchSpace = kTrue;
  EXPECT_NE(a.Record, b.Record);
  b.Record = a.Record;
  b.Record.Screen.Locate(1, 0);
  EXPECT_NE(a.Record, b.Record);
}

std::vector<int> Steps(int16_t (*next)(int16_t), int16_t from, int presses) {
  std::vector<int> values;
  for (int i = 0; i < presses; ++i)
    values.push_back(from = next(from));
  return values;
}

TEST(Settings, EachSettingStepsAndWrapsOnePressAtATime) {
  EXPECT_EQ(Steps(NextSetCount, 5, 9), (std::vector<int>{6, 7, 8, 9, 10, 2, 3, 4, 5}));
  EXPECT_EQ(Steps(NextLevel, 1, 6), (std::vector<int>{2, 3, 4, 5, 1, 2}));
  EXPECT_EQ(Steps(NextBallSpeed, 8, 3), (std::vector<int>{4, 8, 4}));
  EXPECT_EQ(NextBallSpeed(5), 8);  // anything but 8 becomes 8
  EXPECT_EQ(Steps(NextPaddleKind, 1, 4), (std::vector<int>{2, 0, 1, 2}));
}

TEST(PaddleTables, IndexOutside0To2IsSubscriptOutOfRange) {
  testing::ScriptedPlatform platform;
  FormMain form(platform);
  const GameRecord& r = form.Record;
  for (int index : {-1, 3, 32767, -32768}) {
    for (const PaddleTable* table : {&r.PlayerPaddles, &r.ComPaddles}) {
      try {
        (*table)(index);
        ADD_FAILURE() << "index " << index;
      } catch (const RunTimeError& error) {
        EXPECT_EQ(error.Code(), RunTimeErrorCode::kSubscriptOutOfRange);
      }
    }
  }
  EXPECT_THROW(form.Record.PlayerPaddles(3).Width = 1, RunTimeError);
}

}  // namespace
}  // namespace rallix
