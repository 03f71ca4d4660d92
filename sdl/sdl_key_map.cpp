#include "sdl/sdl_key_map.h"

namespace rallix {
namespace {

struct KeyPair {
  SDL_Scancode scancode;
  uint8_t virtual_key;
};

constexpr KeyPair kGameKeys[] = {
    {SDL_SCANCODE_SPACE, kVkSpace}, {SDL_SCANCODE_LEFT, kVkLeft}, {SDL_SCANCODE_UP, kVkUp},
    {SDL_SCANCODE_RIGHT, kVkRight}, {SDL_SCANCODE_DOWN, kVkDown},
};

}  // namespace

void FillKeySnapshot(const Uint8* scancode_states, int count, KeySnapshot& keys) {
  keys.fill(0);
  if (scancode_states == nullptr)
    return;
  for (const KeyPair& pair : kGameKeys) {
    if (pair.scancode < count && scancode_states[pair.scancode] != 0) {
      keys[pair.virtual_key] = kKeyDownBit;
    }
  }
}

}  // namespace rallix
