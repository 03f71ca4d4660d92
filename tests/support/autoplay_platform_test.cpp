// The autoplaying platform: the autopilot owns the paddle in the rallies,
// whatever the keyboard holds, and the keyboard owns everything else: the
// title's "GAME START" and the stage-won screen's Space.
#include "tests/support/autoplay_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/form_main.h"
#include "game/main_loop.h"
#include "tests/support/screen_text.h"
#include "tests/support/scripted_platform.h"

namespace rallix::testing {
namespace {

TEST(AutoplayPlatform, WinsAStageAgainstAKeyboardHoldingLeftAndGoesOnWithItsSpace) {
  ScriptedPlatform keyboard;
  AutoplayPlatform autoplay(keyboard);
  FormMain form(autoplay);
  MainLoop loop(form, autoplay);
  autoplay.Follow(form.Record);
  const GameRecord& r = form.Record;
  // A fresh press on the keyboard: a pass with nothing down, one with the keys.
  const auto press = [&](std::initializer_list<uint8_t> keys) {
    keyboard.ReleaseAll();
    loop.Run(1);
    keyboard.Hold(keys);
    loop.Run(1);
  };
  loop.Run(1);
  press({kVkSpace});  // GAME START
  ASSERT_EQ(r.State, kStateNewGame);
  // Left stays held on the keyboard all through the stage: alone, it would
  // pin the paddle to the left wall and lose every point. A stage of the
  // default game takes a few thousand frames.
  keyboard.Hold({kVkLeft});
  for (int64_t pass = 0; pass < 200'000 && r.State != kStateGameEnd; ++pass) {
    ASSERT_EQ(loop.Run(1), LoopEnd::kLimit);
    if (r.State == kStatePlayerPoint && r.PlayerPoints == r.SetCount)
      break;
  }
  ASSERT_EQ(r.State, kStatePlayerPoint)
      << "the stage was lost " << r.PlayerPoints << " to " << r.ComPoints;
  EXPECT_EQ(r.Stage, 1);
  EXPECT_EQ(ScreenText(keyboard.last_frame, form.Pictures.PictureSprite, 7, 12, 7), "YOU WIN");
  // Its sounds went to the keyboard's platform: a "pipopin" for each point.
  const std::vector<std::string> sounds = keyboard.SoundFiles();
  EXPECT_EQ(std::count(sounds.begin(), sounds.end(), "pipopin.WAV"), r.SetCount);

  // The stage-won screen waits for the keyboard's Space, not the autopilot.
  loop.Run(50);
  EXPECT_EQ(r.State, kStatePlayerPoint);
  press({kVkSpace});
  EXPECT_EQ(r.State, kStateServe);
  EXPECT_EQ(r.Stage, 2);
}

}  // namespace
}  // namespace rallix::testing
