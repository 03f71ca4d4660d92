// The game's keys on a gamepad: which buttons and stick directions stand for
// the virtual keys of the 256-byte key snapshot (the keyboard's are
// sdl/input/key_bindings.h).
#pragma once

#include <SDL.h>

#include <optional>

#include "game/platform.h"

namespace rallix {

// The virtual key a gamepad button stands for: the D-pad's four directions
// are the arrows, the bottom face button (A) and Start are Space.
std::optional<uint8_t> VirtualKeyOfPadButton(SDL_GameControllerButton button);

// Sets bit 0x80 in `keys` for the arrows a stick held at (x, y) stands for
// (SDL's axis values, -32768 to 32767, y growing downward). Nothing within
// half of the full range from the middle, whichever way; beyond it, the
// arrows of the directions the stick points within 67.5 degrees of, so that
// diagonals hold two arrows.
void AddStickKeys(int x, int y, KeySnapshot& keys);

}  // namespace rallix
