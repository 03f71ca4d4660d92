// The text grid, its cursor and the cell queue that PrintNow fills.
#include "display/text_screen.h"

#include <gtest/gtest.h>

#include <string>

#include "base/run_time_error.h"
#include "tests/support/screen_text.h"

namespace rallix {
namespace {

using testing::GridText;

struct Cursor {
  int x;
  int y;
  friend bool operator==(const Cursor& a, const Cursor& b) { return a.x == b.x && a.y == b.y; }
};

Cursor CursorOf(const TextScreen& screen) {
  return {screen.CursorX, screen.CursorY};
}

TEST(TextGridLocate, EachCoordinateOutsideTheGridIsIgnoredOnItsOwn) {
  TextScreen screen;
  screen.Locate(39, 29);
  EXPECT_EQ(CursorOf(screen), (Cursor{39, 29}));
  screen.Locate(7, 3);
  screen.Locate(40, 5);
  EXPECT_EQ(CursorOf(screen), (Cursor{7, 5}));
  screen.Locate(-1, -1);
  EXPECT_EQ(CursorOf(screen), (Cursor{7, 5}));
  screen.Locate(0, 30);
  EXPECT_EQ(CursorOf(screen), (Cursor{0, 5}));
  screen.Locate(-32768, 0);
  EXPECT_EQ(CursorOf(screen), (Cursor{0, 0}));
}

// Both prints move the cursor the same way; PrintNow also queues the cells.
class TextGridPrint : public ::testing::TestWithParam<bool> {
 protected:
  void Print(const std::string& text) {
    if (GetParam()) {
      screen.PrintNow(text);
    } else {
      screen.PrintText(text);
    }
  }
  TextScreen screen;
};

TEST_P(TextGridPrint, RunsOnFromColumn39ToTheNextRow) {
  screen.Locate(39, 0);
  Print("AB");
  EXPECT_EQ(screen.Grid.Cell(39, 0), "A");
  EXPECT_EQ(screen.Grid.Cell(0, 1), "B");
  EXPECT_EQ(CursorOf(screen), (Cursor{1, 1}));
}

TEST_P(TextGridPrint, RunsOnFromTheLastCellToTheFirst) {
  screen.Locate(39, 29);
  Print("AB");
  EXPECT_EQ(screen.Grid.Cell(39, 29), "A");
  EXPECT_EQ(screen.Grid.Cell(0, 0), "B");
  EXPECT_EQ(CursorOf(screen), (Cursor{1, 0}));
  // Ending exactly on the last cell leaves the cursor on the first.
  screen.Locate(38, 29);
  Print("XY");
  EXPECT_EQ(CursorOf(screen), (Cursor{0, 0}));
}

TEST_P(TextGridPrint, EmptyStringChangesNothing) {
  screen.Locate(12, 7);
  Print("Q");
  const TextScreen before = screen;
  Print("");
  EXPECT_EQ(screen, before);
}

TEST_P(TextGridPrint, WallRowFillsColumns0To21AndStopsAtColumn22) {
  screen.Locate(0, 4);
  Print("|                    |");
  EXPECT_EQ(GridText(screen.Grid, 0, 4, 23), "|                    |.");
  EXPECT_EQ(CursorOf(screen), (Cursor{22, 4}));
}

TEST_P(TextGridPrint, SpacesAreStoredAndReplaceWhatWasThere) {
  screen.Locate(3, 3);
  Print("GAME");
  screen.Locate(4, 3);
  Print("  ");
  EXPECT_EQ(GridText(screen.Grid, 2, 3, 6), ".G  E.");
}

INSTANTIATE_TEST_SUITE_P(PrintTextAndPrintNow, TextGridPrint, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "PrintNow" : "PrintText"; });

TEST(TextGridPrintLength, TextLongerThan32767CharactersOverflowsAndWritesNothing) {
  TextScreen screen;
  const TextScreen before = screen;
  try {
    screen.PrintText(std::string(32768, 'A'));
    FAIL() << "no overflow";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.Code(), RunTimeErrorCode::kOverflow);
  }
  EXPECT_EQ(screen, before);
  EXPECT_THROW(screen.PrintNow(std::string(40000, '-')), RunTimeError);
  EXPECT_EQ(screen, before);
  // 32767 characters are fine: they wrap round the 1200 cells 27 times and
  // end 367 cells on, at column 7 of row 9.
  screen.PrintText(std::string(32767, 'Z'));
  EXPECT_EQ(CursorOf(screen), (Cursor{7, 9}));
}

TEST(TextGridPrintNow, QueuesEveryCellInOrderAndCountsThem) {
  TextScreen screen;
  screen.Locate(5, 1);
  screen.PrintNow("---");
  const std::vector<SpriteEntry> expected{{5, 1, '-'}, {6, 1, '-'}, {7, 1, '-'}};
  EXPECT_EQ(screen.CellSprites, expected);
  EXPECT_EQ(screen.CellSpriteCount, 3);
  EXPECT_EQ(CursorOf(screen), (Cursor{8, 1}));
  EXPECT_EQ(GridText(screen.Grid, 4, 1, 5), ".---.");
  // A second print at the same place queues again, after the first.
  screen.Locate(5, 1);
  screen.PrintNow("   ");
  ASSERT_EQ(screen.CellSpriteCount, 6);
  EXPECT_EQ(screen.CellSprites[3], (SpriteEntry{5, 1, ' '}));
  EXPECT_EQ(screen.CellSprites[5], (SpriteEntry{7, 1, ' '}));
  // PrintText queues nothing.
  screen.PrintText("ABC");
  EXPECT_EQ(screen.CellSpriteCount, 6);
  EXPECT_TRUE(screen.PixelSprites.empty());
}

TEST(TextGridPrintNow, AppendPast32767EntriesOverflowsWithCountAndQueueInStep) {
  TextScreen screen;
  for (int i = 0; i < 32767 / 1000; ++i)
    screen.PrintNow(std::string(1000, '-'));
  screen.PrintNow(std::string(32767 % 1000, '-'));
  ASSERT_EQ(screen.CellSpriteCount, 32767);
  const Cursor cursor = CursorOf(screen);
  EXPECT_THROW(screen.PrintNow("+"), RunTimeError);
  EXPECT_EQ(screen.CellSpriteCount, 32767);
  EXPECT_EQ(screen.CellSprites.size(), 32767u);
  // The cell was written before the append failed; the cursor stays on it.
  EXPECT_EQ(screen.Grid.Cell(cursor.x, cursor.y), "+");
  EXPECT_EQ(CursorOf(screen), cursor);
}

TEST(TextGridClear, EmptiesEveryCellAndKeepsCursorAndQueues) {
  TextScreen screen;
  for (int row = 0; row < kGridRows; ++row)
    screen.PrintNow(std::string(kGridColumns, 'W'));
  screen.QueuePixelSprite("O", 80, 32);
  screen.Locate(17, 9);
  const TextScreen before = screen;
  screen.ClearGrid();
  for (int column = 0; column < kGridColumns; ++column) {
    for (int row = 0; row < kGridRows; ++row)
      EXPECT_EQ(screen.Grid.Cell(column, row), "");
  }
  EXPECT_EQ(CursorOf(screen), (Cursor{17, 9}));
  EXPECT_EQ(screen.CellSprites, before.CellSprites);
  EXPECT_EQ(screen.CellSpriteCount, 1200);
  EXPECT_EQ(screen.PixelSprites, before.PixelSprites);
  EXPECT_EQ(screen.PixelSpriteCount, 1);
}

TEST(TextGridCell, ReadingOutsideTheGridIsSubscriptOutOfRange) {
  TextScreen screen;
  for (auto [column, row] : {std::pair{-1, 0}, {40, 0}, {0, -1}, {0, 30}}) {
    try {
      screen.Grid.Cell(column, row);
      ADD_FAILURE() << column << "," << row;
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.Code(), RunTimeErrorCode::kSubscriptOutOfRange);
    }
  }
}

}  // namespace
}  // namespace rallix
