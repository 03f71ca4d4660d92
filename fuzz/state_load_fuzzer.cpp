// libFuzzer target for the libretro core's save states (demo/state_format.h
// and the lists of game/game_state.h and libretro/core_state.h), and the game
// a state the core takes leads to: fuzz/state_check.h says what it checks.
#include <cstddef>
#include <cstdint>

#include "fuzz/state_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rallix::fuzz::CheckState(data, size);
  return 0;
}
