// A save state whose checksum holds but whose values the game could not take
// (a cursor or a queued cell off the grid, a sound that is none) is refused
// all the same: the game writes through them without a check.
#include <gtest/gtest.h>

#include <vector>

#include "libretro/save_state.h"

namespace rallix::libretro {
namespace {

TEST(SaveState, ValuesOffTheGridOrNoSoundAreRefusedThoughTheChecksumHolds) {
  const auto decodes = [](const SavedGame& game) {
    std::vector<uint8_t> bytes(SaveStateSize());
    EXPECT_TRUE(EncodeSaveState(game, bytes.data(), bytes.size()));
    return DecodeSaveState(bytes.data(), bytes.size()).has_value();
  };
  SavedGame game;
  EXPECT_TRUE(decodes(game));
  game.record.Screen.CursorX = 40;
  EXPECT_FALSE(decodes(game));
  game.record.Screen.CursorX = 39;
  game.record.Screen.CursorY = -1;
  EXPECT_FALSE(decodes(game));
  game.record.Screen.CursorY = 29;
  EXPECT_TRUE(decodes(game));
  game.record.Screen.CellSprites = {{3, 30, '-'}};
  game.record.Screen.CellSpriteCount = 1;
  EXPECT_FALSE(decodes(game));
  game.record.Screen.CellSprites = {{39, 29, '-'}};
  EXPECT_TRUE(decodes(game));
  game.sound = -2;
  EXPECT_FALSE(decodes(game));
  game.sound = -1;
  game.passes = -1;
  EXPECT_FALSE(decodes(game));
}

}  // namespace
}  // namespace rallix::libretro
