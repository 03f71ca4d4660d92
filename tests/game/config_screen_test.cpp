// The configuration menu: its labels and values, the mark, the settings'
// steps and the way back to the title.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/game_session.h"

namespace rallix::testing {
namespace {

class ConfigMenu : public ::testing::Test {
 protected:
  // "CONFIG" from the title, and the menu's first frame with Space still held
  // from that press.
  void SetUp() override {
    s.Press({kVkDown});
    s.Press({kVkSpace});
    ASSERT_EQ(r.State, kStateConfig);
    ASSERT_EQ(r.MenuCursor, 0);
    s.Run();
  }

  // The five settings, to see which of them a key changed.
  std::vector<int16_t> Settings() const {
    return {r.SetCount, r.Level, r.BallSpeed, r.PlayerPaddleKind, r.ComPaddleKind};
  }

  // The mark's column: a ">" on the marked row, blanks on the other five.
  std::string MarkColumn() const {
    std::string marks;
    for (int item = 0; item <= 5; ++item)
      marks += s.GridText(1, 10 + 2 * item, 1);
    return marks;
  }

  GameSession s;
  GameRecord& r = s.Record();
};

TEST_F(ConfigMenu, OpensWithTheLabelsTheValuesAndTheMarkOnSetCount) {
  EXPECT_EQ(s.FieldRow(10), "> SET COUNT    5    ");
  EXPECT_EQ(s.FieldRow(12), "  LEVEL             ");
  EXPECT_EQ(s.FieldRow(13), "               1    ");
  EXPECT_EQ(s.FieldRow(14), "  BALL SPEED        ");
  EXPECT_EQ(s.FieldRow(15), "               8    ");
  EXPECT_EQ(s.FieldRow(16), "  PLAYER PDL        ");
  EXPECT_EQ(s.FieldRow(17), "              --+-- ");
  EXPECT_EQ(s.FieldRow(18), "  COM PDL           ");
  EXPECT_EQ(s.FieldRow(19), "              ----- ");
  EXPECT_EQ(s.FieldRow(20), "  EXIT              ");
  EXPECT_EQ(MarkColumn(), ">     ");
  // The title's texts are gone, and the Space that chose "CONFIG" changed nothing.
  EXPECT_EQ(s.FieldRow(11), std::string(20, ' '));
  EXPECT_EQ(s.GridText(0, 10, 1), "|");
  EXPECT_EQ(Settings(), (std::vector<int16_t>{5, 1, 8, 1, 1}));
  EXPECT_TRUE(s.Shows(1, 10, "> SET COUNT    5"));
  EXPECT_TRUE(s.Shows(13, 17, "  --+--"));
}

TEST_F(ConfigMenu, SetCountStepsToTenThenTwoAndTheChangeShowsOnTheNextFrame) {
  const std::vector<std::string> shown = {" 6", " 7", " 8", " 9", "10", " 2", " 3", " 4", " 5"};
  std::string before = " 5";
  for (const std::string& value : shown) {
    s.Press({kVkSpace});
    // The values are printed before Space acts: the press frame shows the old one.
    EXPECT_EQ(s.GridText(15, 10, 2), before);
    EXPECT_TRUE(s.Shows(15, 10, before));
    s.Run();
    EXPECT_EQ(s.GridText(15, 10, 2), value);
    EXPECT_TRUE(s.Shows(15, 10, value));
    EXPECT_EQ(s.GridText(14, 10, 1), " ");
    EXPECT_EQ(s.GridText(17, 10, 1), " ");
    before = value;
  }
  EXPECT_EQ(r.SetCount, 5);
}

TEST_F(ConfigMenu, LevelAndBallSpeedShowASpaceBeforeTheirDigit) {
  s.Press({kVkDown});
  for (const char* value : {" 2", " 3", " 4", " 5", " 1"}) {
    s.Press({kVkSpace});
    s.Run();
    EXPECT_EQ(s.GridText(15, 13, 2), value);
    EXPECT_EQ(s.GridText(15, 12, 2), "  ");  // not on the label's row
  }
  s.Press({kVkDown});
  for (const char* value : {" 4", " 8", " 4"}) {
    s.Press({kVkSpace});
    s.Run();
    EXPECT_EQ(s.GridText(15, 15, 2), value);
  }
  EXPECT_EQ(r.Level, 1);
  EXPECT_EQ(r.BallSpeed, 4);
}

TEST_F(ConfigMenu, PaddleShapesEndInColumnNineteenWithShorterOnesBlankedOnTheLeft) {
  s.Press({kVkUp});
  s.Press({kVkUp});  // "COM PDL"
  s.Press({kVkUp});  // "PLAYER PDL"
  ASSERT_EQ(r.MenuCursor, 3);
  for (const char* shape : {"---+---", "    -+-", "  --+--"}) {
    s.Press({kVkSpace});
    s.Run();
    EXPECT_EQ(s.GridText(12, 17, 9), std::string(" ") + shape + " ");
    EXPECT_TRUE(s.Shows(13, 17, shape));
  }
  s.Press({kVkDown});
  for (const char* shape : {"-------", "    ---", "  -----"}) {
    s.Press({kVkSpace});
    s.Run();
    EXPECT_EQ(s.GridText(12, 19, 9), std::string(" ") + shape + " ");
  }
  EXPECT_EQ(Settings(), (std::vector<int16_t>{5, 1, 8, 1, 1}));
}

TEST_F(ConfigMenu, TheMarkWrapsBetweenSetCountAndExit) {
  s.Press({kVkUp});
  EXPECT_EQ(r.MenuCursor, 5);
  EXPECT_EQ(MarkColumn(), "     >");
  EXPECT_TRUE(s.Shows(1, 20, "> EXIT"));
  s.Press({kVkDown});
  EXPECT_EQ(r.MenuCursor, 0);
  EXPECT_EQ(MarkColumn(), ">     ");
  for (int item = 1; item <= 5; ++item) {
    s.Press({kVkDown});
    EXPECT_EQ(r.MenuCursor, item);
  }
  EXPECT_EQ(MarkColumn(), "     >");
}

TEST_F(ConfigMenu, SpaceActsOnTheItemTheMarkMovedToBeforeItWraps) {
  const std::vector<int16_t> defaults = Settings();
  // Up and Space together on "SET COUNT": -1 carries out nothing.
  s.Press({kVkUp, kVkSpace});
  EXPECT_EQ(Settings(), defaults);
  EXPECT_EQ(r.MenuCursor, 5);
  EXPECT_EQ(r.State, kStateConfig);
  // Down and Space together on "EXIT": 6 carries out nothing either.
  s.Press({kVkDown, kVkSpace});
  EXPECT_EQ(r.State, kStateConfig);
  EXPECT_EQ(r.MenuCursor, 0);
  EXPECT_EQ(Settings(), defaults);
  // Down and Space together on "SET COUNT" change "LEVEL".
  s.Press({kVkDown, kVkSpace});
  EXPECT_EQ(r.MenuCursor, 1);
  EXPECT_EQ(r.Level, 2);
  EXPECT_EQ(r.SetCount, 5);
  // Up and Space together from "BALL SPEED" change "LEVEL" again.
  s.Press({kVkDown});
  s.Press({kVkUp, kVkSpace});
  EXPECT_EQ(r.Level, 3);
  EXPECT_EQ(r.BallSpeed, 8);
}

TEST_F(ConfigMenu, AHeldSpaceChangesTheSettingOnce) {
  s.Press({kVkSpace});
  s.Run(30);
  EXPECT_EQ(r.SetCount, 6);
  s.Press({kVkSpace});
  EXPECT_EQ(r.SetCount, 7);
}

TEST_F(ConfigMenu, ExitReturnsToTheTitleWhichOpensOnGameStart) {
  s.Press({kVkUp});
  s.Press({kVkSpace});
  EXPECT_EQ(r.State, kStateTitle);
  EXPECT_EQ(r.MenuCursor, 5);
  EXPECT_TRUE(s.Shows(1, 20, "> EXIT"));  // that frame still shows the menu

  s.Run();
  EXPECT_EQ(r.MenuCursor, 0);
  EXPECT_EQ(s.GridText(5, 13, 11), ">GAME START");
  EXPECT_EQ(s.GridText(5, 23, 1), " ");
  for (int row = 18; row <= 24; ++row) {
    EXPECT_EQ(s.FieldRow(row), std::string(20, ' ')) << "row " << row;
  }
  EXPECT_EQ(s.FieldRow(10), "     RALLIX         ");
  EXPECT_EQ(s.GridText(1, 20, 1), " ");
  EXPECT_TRUE(s.Shows(5, 13, ">GAME START"));
}

TEST_F(ConfigMenu, SettingsAreInForceFromTheFirstServeOfTheNextGame) {
  s.Press({kVkSpace});  // SET COUNT 6
  for (int press = 0; press < 5; ++press)
    s.Press({kVkSpace});  // ... 10, 2
  s.Press({kVkDown});
  s.Press({kVkDown});
  s.Press({kVkSpace});  // BALL SPEED 4
  s.Press({kVkDown});
  s.Press({kVkSpace});  // PLAYER PDL 2
  s.Press({kVkDown});
  s.Press({kVkSpace});
  s.Press({kVkSpace});  // COM PDL 0
  ASSERT_EQ(Settings(), (std::vector<int16_t>{2, 1, 4, 2, 0}));
  s.Press({kVkDown});
  s.Press({kVkSpace});  // EXIT
  s.Run();              // the title
  s.Press({kVkSpace});  // GAME START
  s.Run(3);             // new game, serve, first rally frame
  ASSERT_EQ(r.State, kStateRally);
  EXPECT_NEAR(std::hypot(r.BallVX, r.BallVY), 4.0, 1e-9);
  EXPECT_EQ(s.GridText(r.PlayerX, 23, 7), "---+---");
  EXPECT_EQ(s.GridText(r.ComX, 1, 4), "--- ");

  // Two points win a stage.
  s.form.SetState(kStatePlayerPoint);
  s.Run();
  EXPECT_EQ(r.State, kStateServe);
  s.form.SetState(kStatePlayerPoint);
  s.Run();
  EXPECT_EQ(r.State, kStatePlayerPoint);
  EXPECT_EQ(s.GridText(7, 12, 7), "YOU WIN");
}

}  // namespace
}  // namespace rallix::testing
