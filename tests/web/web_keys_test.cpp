// The browser's key events as the game's key snapshot.
#include "web/web_keys.h"

#include <gtest/gtest.h>

namespace rallix::web {
namespace {

TEST(GameKeys, TheFiveKeysAreFoundByTheirPlaceOnTheKeyboard) {
  EXPECT_EQ(GameKeyOf("Space", 0), kVkSpace);
  EXPECT_EQ(GameKeyOf("ArrowLeft", 0), kVkLeft);
  EXPECT_EQ(GameKeyOf("ArrowUp", 0), kVkUp);
  EXPECT_EQ(GameKeyOf("ArrowRight", 0), kVkRight);
  EXPECT_EQ(GameKeyOf("ArrowDown", 0), kVkDown);
  // The place wins over the legacy code: the keypad's arrows (NumLock off)
  // and letters are not the game's keys, as on the desktop.
  EXPECT_FALSE(GameKeyOf("Numpad4", 37));
  EXPECT_FALSE(GameKeyOf("KeyA", 65));
  EXPECT_FALSE(GameKeyOf("Enter", 13));
  EXPECT_FALSE(GameKeyOf("space", 32));
}

TEST(GameKeys, ABrowserWithoutCodesIsAskedItsKeyCodes) {
  EXPECT_EQ(GameKeyOf("", 32), kVkSpace);
  EXPECT_EQ(GameKeyOf("", 37), kVkLeft);
  EXPECT_EQ(GameKeyOf("", 40), kVkDown);
  EXPECT_FALSE(GameKeyOf("", 65));
  EXPECT_FALSE(GameKeyOf("", 0));
}

TEST(HeldKeys, HeldKeysShowUntilTheyGoUpAndATapBetweenTwoSnapshotsShowsOnce) {
  HeldKeys held;
  EXPECT_TRUE(held.Press("ArrowLeft", 37));
  EXPECT_TRUE(held.Press("ArrowLeft", 37));  // auto-repeat
  EXPECT_TRUE(held.Press("Space", 32));
  EXPECT_TRUE(held.Press("ArrowDown", 40));  // down and up again before the snapshot
  EXPECT_FALSE(held.Press("KeyA", 65));
  EXPECT_TRUE(held.Release("ArrowDown", 40));
  EXPECT_FALSE(held.Release("KeyA", 65));
  KeySnapshot keys;
  keys.fill(0xff);
  held.TakeSnapshot(keys);
  for (int key = 0; key < 256; ++key) {
    const bool down = key == kVkLeft || key == kVkSpace || key == kVkDown;
    EXPECT_EQ(keys[key], down ? kKeyDownBit : 0) << "key " << key;
  }
  held.TakeSnapshot(keys);
  EXPECT_FALSE(IsKeyDown(keys, kVkDown)) << "a tap shows in one snapshot only";
  EXPECT_TRUE(IsKeyDown(keys, kVkLeft));

  held.Press("ArrowUp", 38);
  held.ReleaseAll();  // the focus went elsewhere: nothing is held, nothing was tapped
  held.TakeSnapshot(keys);
  EXPECT_FALSE(IsKeyDown(keys, kVkLeft));
  EXPECT_FALSE(IsKeyDown(keys, kVkSpace));
  EXPECT_FALSE(IsKeyDown(keys, kVkUp));
}

TEST(HeldKeys, TheKeyboardTouchAndPadHoldAKeyTogetherAndOnlyTheGameKeys) {
  HeldKeys held;
  KeySnapshot keys;
  held.Press("ArrowLeft", 37);
  held.Press(KeySource::kTouch, kVkLeft);
  held.TakeSnapshot(keys);
  held.Release(KeySource::kTouch, kVkLeft);
  held.TakeSnapshot(keys);
  EXPECT_TRUE(IsKeyDown(keys, kVkLeft)) << "the keyboard still holds Left";
  held.Release("ArrowLeft", 37);
  held.TakeSnapshot(keys);
  EXPECT_FALSE(IsKeyDown(keys, kVkLeft));

  // The page's numbers are checked: only the five game keys can be pressed.
  for (int key : {-1, 0, 0x50, 0x25 + 256, 1000})
    held.Press(KeySource::kPad, key);
  held.TakeSnapshot(keys);
  EXPECT_EQ(keys, KeySnapshot{});
}

}  // namespace
}  // namespace rallix::web
