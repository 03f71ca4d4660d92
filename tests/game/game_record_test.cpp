// The game record after the window loads and the paddle tables.
#include "game/game_record.h"

#include <gtest/gtest.h>

#include "base/run_time_error.h"
#include "game/form_main.h"
#include "tests/support/scripted_platform.h"

namespace rallix {
namespace {

// The defaults the player sees are checked where they show: the panel
// (court_test), the title and its mark (title_screen_test) and the five
// settings (config_screen_test). What no screen shows is checked here.
TEST(GameRecordAfterLoad, NothingIsDrawnQueuedOrLatchedAndNoGameHasBegun) {
  testing::ScriptedPlatform platform;
  FormMain form(platform);
  const GameRecord& r = form.Record;
  EXPECT_EQ(r.Screen, TextScreen());  // an empty grid and queues, the cursor at (0, 0)
  EXPECT_EQ(r.Stage, 0);
  EXPECT_EQ(r.KeyLatchUp, kFalse);
  EXPECT_EQ(r.KeyLatchDown, kFalse);
  EXPECT_EQ(r.KeyLatchSpace, kFalse);
  EXPECT_EQ(platform.frames_presented, 0);
  EXPECT_EQ(form.Pictures.PictureMain, Surface());
}

TEST(PaddleTables, WidthsThreeFiveAndSevenThatStayBetweenTheWalls) {
  // The shapes are checked as the configuration menu shows them.
  testing::ScriptedPlatform platform;
  FormMain form(platform);
  for (int i = 0; i < 3; ++i) {
    for (const PaddleKind& kind : {form.Record.PlayerPaddles(i), form.Record.ComPaddles(i)}) {
      SCOPED_TRACE(kind.Shape);
      EXPECT_EQ(kind.Width, 3 + 2 * i);
      EXPECT_EQ(kind.Shape.size(), static_cast<size_t>(kind.Width));
      EXPECT_EQ(kind.Blank, std::string(kind.Shape.size(), ' '));
      // A left end in 1..MaxX keeps the paddle in the playing columns 1..20.
      EXPECT_EQ(kind.MaxX + kind.Width, 21);
    }
  }
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

TEST(Settings, BallSpeedsOtherThanEightBecomeEight) {
  // The menu's steps (6, ..., 10, 2 and so on) are checked through the menu
  // in config_screen_test; no menu reaches a speed other than 4 or 8.
  EXPECT_EQ(NextBallSpeed(5), 8);
  EXPECT_EQ(NextBallSpeed(4), 8);
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
