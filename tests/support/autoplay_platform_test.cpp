// The autoplaying platform: the autopilot owns the paddle in the rallies,
// whatever the keyboard holds, and the keyboard owns everything else.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/form_main.h"
#include "game/main_loop.h"
#include "tests/support/autoplay_platform.h"
#include "tests/support/screen_text.h"
#include "tests/support/scripted_platform.h"

namespace rallix::testing {
namespace {

// A stage of the default game takes a few thousand frames.
constexpr int64_t kPassLimit = 200'000;

class AutoplayTest : public ::testing::Test {
 protected:
  AutoplayTest() : autoplay(keyboard), form(autoplay), loop(form, autoplay) {
    autoplay.Follow(form.Record);
  }

  const GameRecord& Record() const { return form.Record; }

  // A fresh press of `keys` on the keyboard: one pass with nothing down, one
  // with the keys down; they stay held.
  void Press(std::initializer_list<uint8_t> keys) {
    keyboard.ReleaseAll();
    loop.Run(1);
    keyboard.Hold(keys);
    loop.Run(1);
  }

  bool RunUntil(bool (*done)(const GameRecord&)) {
    for (int64_t pass = 0; pass < kPassLimit; ++pass) {
      if (loop.Run(1) != LoopEnd::kLimit)
        return false;
      if (done(Record()))
        return true;
    }
    return false;
  }

  std::string Shown(int column, int row, int length) const {
    return ScreenText(keyboard.last_frame, form.Pictures.PictureSprite, column, row, length);
  }

  ScriptedPlatform keyboard;
  AutoplayPlatform autoplay;
  FormMain form;
  MainLoop loop;
};

TEST_F(AutoplayTest, MenusAndWaitingScreensReadTheKeyboard) {
  loop.Run(1);
  Press({kVkDown});
  EXPECT_EQ(Record().MenuCursor, 1);
  Press({kVkSpace});
  EXPECT_EQ(Record().State, kStateConfig);
  Press({kVkSpace});  // SET COUNT steps on from its default
  EXPECT_NE(Record().SetCount, 5);
  for (int item = 0; item < 5; ++item)
    Press({kVkDown});
  Press({kVkSpace});  // EXIT
  EXPECT_EQ(Record().State, kStateTitle);
}

TEST_F(AutoplayTest, WinsAStageAgainstAKeyboardHoldingLeftAndGoesOnWithSpace) {
  loop.Run(1);
  Press({kVkSpace});  // GAME START
  // Left stays held on the keyboard all through the stage: alone, it would
  // pin the paddle to the left wall and lose every point.
  keyboard.Hold({kVkLeft});
  const bool ended = RunUntil([](const GameRecord& r) {
    return (r.State == kStatePlayerPoint && r.PlayerPoints == r.SetCount) ||
           r.State == kStateGameEnd;
  });
  ASSERT_TRUE(ended);
  ASSERT_EQ(Record().State, kStatePlayerPoint)
      << "the stage was lost " << Record().PlayerPoints << " to " << Record().ComPoints;
  EXPECT_EQ(Record().Stage, 1);
  EXPECT_EQ(Shown(7, 12, 7), "YOU WIN");
  EXPECT_EQ(Shown(5, 15, 11), "BONUS POINT");
  EXPECT_EQ(Shown(4, 18, 14), "PUSH SPACE KEY");
  // Its sounds went to the keyboard's platform: a "pipopin" for each point.
  const std::vector<std::string> sounds = keyboard.SoundFiles();
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), "pipopin.WAV"), Record().SetCount);

  // The stage-won screen waits for the keyboard's Space, not the autopilot.
  loop.Run(50);
  EXPECT_EQ(Record().State, kStatePlayerPoint);
  Press({kVkSpace});
  EXPECT_EQ(Record().State, kStateServe);
  EXPECT_EQ(Record().Stage, 2);
}

TEST(AutoplayPlatform, BeforeItFollowsAGameEverySnapshotIsTheKeyboards) {
  ScriptedPlatform keyboard;
  keyboard.Hold({kVkLeft, kVkSpace});
  AutoplayPlatform autoplay(keyboard);
  KeySnapshot keys{};
  autoplay.GetKeyboardState(keys);
  EXPECT_TRUE(IsKeyDown(keys, kVkLeft));
  EXPECT_TRUE(IsKeyDown(keys, kVkSpace));
  EXPECT_EQ(keyboard.snapshots_taken, 1);
}

}  // namespace
}  // namespace rallix::testing
