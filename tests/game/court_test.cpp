// The walled court and the status panel, as DrawCourt writes them into the grid.
#include <gtest/gtest.h>

#include <string>

#include "game/form_main.h"
#include "tests/support/game_session.h"

namespace rallix {
namespace {

class CourtTest : public ::testing::Test, public testing::GameSession {
 protected:
  std::string Row(int column, int row, int length) const { return GridText(column, row, length); }
};

TEST_F(CourtTest, WallsInColumns0And21WithBlankPlayingColumnsBetween) {
  form.Locate(6, 13);
  form.PrintText("GAME START");
  form.DrawCourt();
  for (int row = 0; row <= 24; ++row) {
    EXPECT_EQ(Row(0, row, 22), "|                    |") << "row " << row;
  }
}

TEST_F(CourtTest, PanelOnStartUpShowsTheDefaults) {
  form.DrawCourt();
  EXPECT_EQ(Row(22, 0, 8), "HI-SCORE");
  EXPECT_EQ(Row(22, 1, 8), ".  30000");
  EXPECT_EQ(Row(22, 2, 8), "...SCORE");
  EXPECT_EQ(Row(22, 3, 8), ".      0");
  EXPECT_EQ(Row(22, 7, 8), ".....COM");
  EXPECT_EQ(Row(22, 8, 8), "...    0");
  EXPECT_EQ(Row(22, 15, 8), "..PLAYER");
  EXPECT_EQ(Row(22, 16, 8), "...    0");
}

TEST_F(CourtTest, NumbersAreRightAlignedAndFillTheirWholeField) {
  form.Record.Score = 12345;
  form.Record.PlayerPoints = 4;
  form.DrawCourt();
  EXPECT_EQ(Row(23, 3, 7), "  12345");
  // A new game: no trace of the old digits.
  form.Record.Score = 0;
  form.Record.PlayerPoints = 0;
  form.DrawCourt();
  EXPECT_EQ(Row(23, 3, 7), "      0");
  EXPECT_EQ(Row(25, 16, 5), "    0");
}

TEST_F(CourtTest, NumbersLongerThanTheirFieldKeepTheirLastDigits) {
  form.Record.HiScore = 12345678;
  form.Record.Score = -1234567;
  form.Record.ComPoints = 123456;
  form.Record.PlayerPoints = -7;
  form.DrawCourt();
  EXPECT_EQ(Row(23, 1, 7), "2345678");
  EXPECT_EQ(Row(23, 3, 7), "1234567");
  EXPECT_EQ(Row(25, 8, 5), "23456");
  EXPECT_EQ(Row(25, 16, 5), "   -7");
  // Nothing spills left of the field.
  EXPECT_EQ(Row(22, 1, 1), ".");
}

TEST_F(CourtTest, LeavesEveryCellOutsideCourtAndPanelAlone) {
  for (int row = 0; row < kGridRows; ++row) {
    form.Locate(0, row);
    form.PrintText(std::string(kGridColumns, 'X'));
  }
  form.DrawCourt();
  // The cells the panel writes, per row: first column and length.
  const std::pair<int, int> panel[kGridRows] = {{22, 8}, {23, 7}, {25, 5}, {23, 7}, {0, 0}, {0, 0},
                                                {0, 0},  {27, 3}, {25, 5}, {0, 0},  {0, 0}, {0, 0},
                                                {0, 0},  {0, 0},  {0, 0},  {24, 6}, {25, 5}};
  for (int row = 0; row < kGridRows; ++row) {
    for (int column = 0; column < kGridColumns; ++column) {
      const bool court = row <= 24 && column <= 21;
      const auto [first, length] = panel[row];
      const bool in_panel = length > 0 && column >= first && column < first + length;
      const char held = form.Record.Screen.Grid.At(column, row);
      if (court || in_panel) {
        EXPECT_NE(held, 'X') << column << "," << row;
      } else {
        EXPECT_EQ(held, 'X') << column << "," << row;
      }
    }
  }
}

TEST_F(CourtTest, DrawingTwiceLeavesTheGridAsOnce) {
  form.Record.Score = 700;
  form.Record.ComPoints = 3;
  form.DrawCourt();
  const TextGrid once = form.Record.Screen.Grid;
  form.DrawCourt();
  EXPECT_EQ(form.Record.Screen.Grid, once);
  // It writes only the grid: nothing queued, no score changed, nothing shown.
  EXPECT_EQ(form.Record.Screen.CellSpriteCount, 0);
  EXPECT_EQ(form.Record.Score, 700);
  EXPECT_EQ(platform.frames_presented, 0);
}

}  // namespace
}  // namespace rallix
