// The game's 256-byte key snapshot, read from SDL's keyboard state.
#pragma once

#include <SDL.h>

#include "game/platform.h"

namespace rallix {

// Fills `keys` from SDL's array of scancode states (as SDL_GetKeyboardState
// gives it, `count` entries): Space, Left, Up, Right and Down have their
// virtual-key bytes with bit 0x80 when down; every other byte is 0.
void FillKeySnapshot(const Uint8* scancode_states, int count, KeySnapshot& keys);

}  // namespace rallix
