// The game's keys on SDL: which keyboard keys, gamepad buttons and stick
// directions stand for the virtual keys of the 256-byte key snapshot.
#pragma once

#include <SDL.h>

#include <optional>

#include "game/platform.h"

namespace rallix {

// Fills `keys` from SDL's array of scancode states (as SDL_GetKeyboardState
// gives it, `count` entries): Space, Left, Up, Right and Down have their
// virtual-key bytes with bit 0x80 when down; every other byte is 0.
void FillKeySnapshot(const Uint8* scancode_states, int count, KeySnapshot& keys);

// The virtual key a keyboard key stands for; nothing for keys the game does
// not use.
std::optional<uint8_t> VirtualKeyOfScancode(SDL_Scancode scancode);

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
