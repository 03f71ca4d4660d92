// The title menu, driven through the frame loop with scripted keys.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game/form_main.h"
#include "game/main_loop.h"
#include "game/mod_main.h"
#include "tests/support/game_session.h"
#include "tests/support/screen_text.h"
#include "tests/support/scripted_platform.h"

namespace rallix {
namespace {

using testing::ScreenText;

constexpr int kGameStart = 0;
constexpr int kConfig = 1;
constexpr int kQuitGame = 2;

class TitleTest : public ::testing::Test, public testing::GameSession {
 protected:
  // One pass of the frame loop with these keys down; false once the program ended.
  bool Frame(std::initializer_list<uint8_t> keys = {}) {
    platform.held_keys = keys;
    return loop.Run(1) == LoopEnd::kLimit;
  }
  // Rows of column 5 that hold the mark, in the grid or (shown) on screen.
  std::vector<int> MarkRows(bool shown = false) const {
    std::vector<int> rows;
    for (int row = 0; row < kGridRows; ++row) {
      if ((shown ? Shown(5, row, 1) : GridText(5, row, 1)) == ">")
        rows.push_back(row);
    }
    return rows;
  }
  std::vector<int> ShownMarkRows() const { return MarkRows(true); }
  int Marked() const { return form.Record.MenuCursor; }
  std::string Shown(int column, int row, int length) const {
    return ScreenText(platform.last_frame, form.Pictures.PictureSprite, column, row, length);
  }
};

TEST_F(TitleTest, FirstFrameShowsTheMenuInsideTheCourtWithTheMarkOnGameStart) {
  ASSERT_TRUE(Frame());
  EXPECT_EQ(GridText(5, 10, 7), " RALLIX");
  EXPECT_EQ(GridText(5, 13, 11), ">GAME START");
  EXPECT_EQ(GridText(5, 15, 7), " CONFIG");
  EXPECT_EQ(GridText(5, 17, 10), " QUIT GAME");
  EXPECT_EQ(GridText(0, 0, 30), "|                    |HI-SCORE");
  EXPECT_EQ(GridText(22, 1, 8), ".  30000");
  // Rendered in the same frame.
  EXPECT_EQ(platform.frames_presented, 1);
  EXPECT_EQ(Shown(0, 13, 22), "|    >GAME START     |");
  EXPECT_EQ(Shown(0, 17, 22), "|     QUIT GAME      |");
  EXPECT_EQ(Shown(22, 3, 8), "       0");
  EXPECT_EQ(form.Record.StateEntered, kFalse);
  EXPECT_EQ(form.Record.State, kStateTitle);
}

TEST_F(TitleTest, PanelShowsTheLastGameUntilTheNextOneStarts) {
  form.Record.Score = 10500;
  form.Record.ComPoints = 5;
  form.Record.PlayerPoints = 3;
  ASSERT_TRUE(Frame());
  EXPECT_EQ(Shown(23, 3, 7), "  10500");
  EXPECT_EQ(Shown(25, 8, 5), "    5");
  EXPECT_EQ(Shown(25, 16, 5), "    3");
}

TEST_F(TitleTest, UpAndDownMoveTheMarkRoundTheThreeItems) {
  ASSERT_TRUE(Frame());
  ASSERT_TRUE(Frame({kVkUp}));
  EXPECT_EQ(Marked(), kQuitGame);
  EXPECT_EQ(MarkRows(), std::vector<int>{17});
  EXPECT_EQ(ShownMarkRows(), std::vector<int>{17});
  ASSERT_TRUE(Frame());
  ASSERT_TRUE(Frame({kVkDown}));
  EXPECT_EQ(Marked(), kGameStart);
  ASSERT_TRUE(Frame());
  ASSERT_TRUE(Frame({kVkDown}));
  EXPECT_EQ(Marked(), kConfig);
  EXPECT_EQ(ShownMarkRows(), std::vector<int>{15});
}

TEST_F(TitleTest, AHeldKeyActsOncePerPress) {
  for (int i = 0; i < 6; ++i)
    ASSERT_TRUE(Frame({kVkDown}));
  EXPECT_EQ(Marked(), kConfig);
  ASSERT_TRUE(Frame());
  ASSERT_TRUE(Frame({kVkDown}));
  EXPECT_EQ(Marked(), kQuitGame);
  // Up while Down is still held: only Up has its press edge.
  ASSERT_TRUE(Frame({kVkDown, kVkUp}));
  EXPECT_EQ(Marked(), kConfig);
}

TEST_F(TitleTest, UpAndDownInTheSameFrameLeaveTheMark) {
  ASSERT_TRUE(Frame());
  ASSERT_TRUE(Frame({kVkUp, kVkDown}));
  EXPECT_EQ(Marked(), kGameStart);
  EXPECT_EQ(MarkRows(), std::vector<int>{13});
  ASSERT_TRUE(Frame());
  ASSERT_TRUE(Frame({kVkUp}));
  ASSERT_TRUE(Frame());
  ASSERT_TRUE(Frame({kVkUp, kVkDown}));
  EXPECT_EQ(Marked(), kQuitGame);
}

TEST_F(TitleTest, SpaceCarriesOutTheItemTheMarkMovedToInTheSameFrame) {
  ASSERT_TRUE(Frame());
  ASSERT_TRUE(Frame({kVkDown, kVkSpace}));
  EXPECT_EQ(form.Record.State, kStateConfig);
  EXPECT_EQ(form.Record.MenuCursor, 0);
  // That frame still shows the title, with the mark on "CONFIG".
  EXPECT_EQ(ShownMarkRows(), std::vector<int>{15});
  EXPECT_EQ(Shown(6, 15, 6), "CONFIG");
}

TEST_F(TitleTest, SpaceOnGameStartBeginsANewGame) {
  ASSERT_TRUE(Frame());
  ASSERT_TRUE(Frame({kVkSpace}));
  EXPECT_EQ(form.Record.State, kStateNewGame);
  EXPECT_EQ(form.Record.StateEntered, kTrue);
}

TEST_F(TitleTest, SpaceStillHeldFromAnEarlierScreenWaitsForAFreshPress) {
  form.Record.KeyLatchSpace = kTrue;  // set by the press that left that screen
  for (int i = 0; i < 5; ++i)
    ASSERT_TRUE(Frame({kVkSpace}));
  EXPECT_EQ(form.Record.State, kStateTitle);
  ASSERT_TRUE(Frame());
  EXPECT_EQ(form.Record.KeyLatchSpace, kFalse);
  ASSERT_TRUE(Frame({kVkSpace}));
  EXPECT_EQ(form.Record.State, kStateNewGame);
}

TEST(TitleQuit, QuitGameEndsTheProgramNormally) {
  testing::ScriptedPlatform platform;
  platform.key_script = [](int64_t snapshot, KeySnapshot& keys) {
    if (snapshot == 2)
      keys[kVkUp] = kKeyDownBit;
    if (snapshot == 4)
      keys[kVkSpace] = kKeyDownBit;
  };
  EXPECT_EQ(Main(platform), 0);
  EXPECT_EQ(platform.passes, 5);
  EXPECT_EQ(platform.frames_presented, 4);  // none for the pass that quit
  EXPECT_TRUE(platform.fatal_errors.empty());
}

TEST_F(TitleTest, ComingBackFromTheConfigurationOpensOnGameStart) {
  // "EXIT" leaves MenuCursor on its last item, 5.
  for (uint8_t key : {uint8_t{0}, kVkUp, kVkDown}) {
    form.Record.MenuCursor = 5;
    form.SetState(kStateTitle);
    form.Record.KeyLatchUp = kFalse;
    form.Record.KeyLatchDown = kFalse;
    ASSERT_TRUE(key == 0 ? Frame() : Frame({key}));
    EXPECT_EQ(Marked(), kGameStart) << "key " << int{key};
    EXPECT_EQ(MarkRows(), std::vector<int>{13});
    EXPECT_EQ(GridText(5, 23, 1), " ");
  }
}

TEST_F(TitleTest, ThereIsNeverMoreThanOneMark) {
  // A long mixed sequence of Up and Down presses and releases.
  uint32_t seed = 12345;
  for (int i = 0; i < 300; ++i) {
    seed = seed * 1103515245u + 12345u;
    const uint32_t bits = seed >> 16;
    std::vector<uint8_t> keys;
    if (bits & 1)
      keys.push_back(kVkUp);
    if (bits & 2)
      keys.push_back(kVkDown);
    platform.held_keys = keys;
    ASSERT_EQ(loop.Run(1), LoopEnd::kLimit);
    ASSERT_EQ(MarkRows(), std::vector<int>{13 + 2 * Marked()}) << "frame " << i;
    ASSERT_EQ(ShownMarkRows(), std::vector<int>{13 + 2 * Marked()}) << "frame " << i;
  }
}

}  // namespace
}  // namespace rallix
