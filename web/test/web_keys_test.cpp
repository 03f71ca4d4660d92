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

TEST(HeldKeys, TheSnapshotHoldsBit0x80ForHeldGameKeysUntilTheyGoUpOrTheFocusIsLost) {
  HeldKeys held;
  EXPECT_TRUE(held.Press("ArrowLeft", 37));
  EXPECT_TRUE(held.Press("ArrowLeft", 37));  // auto-repeat
  EXPECT_TRUE(held.Press("Space", 32));
  EXPECT_TRUE(held.Press("ArrowDown", 40));
  EXPECT_FALSE(held.Press("KeyA", 65));
  EXPECT_TRUE(held.Release("ArrowDown", 40));
  EXPECT_FALSE(held.Release("KeyA", 65));
  KeySnapshot keys;
  keys.fill(0xff);
  held.Fill(keys);
  for (int key = 0; key < 256; ++key) {
    const bool held_key = key == kVkLeft || key == kVkSpace;
    EXPECT_EQ(keys[key], held_key ? kKeyDownBit : 0) << "key " << key;
  }
  held.ReleaseAll();
  held.Fill(keys);
  EXPECT_FALSE(IsKeyDown(keys, kVkLeft));
  EXPECT_FALSE(IsKeyDown(keys, kVkSpace));
}

}  // namespace
}  // namespace rallix::web
