// Which keyboard keys stand for the game's six keys: Left, Right, Up, Down
// and Space, whose virtual keys the game reads, and P, the pause. Each may
// be bound to one or more other keys in the [keys] section of the settings
// file, by SDL's key names ("down = Down S"); the game sees the same
// virtual keys whatever is bound, so a demo plays the same whoever made it.
#pragma once

#include <SDL.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "game/platform.h"
#include "sdl/settings/settings_text.h"

namespace rallix {

enum class KeyAction { kLeft, kRight, kUp, kDown, kSpace, kPause };
constexpr int kKeyActions = 6;

class KeyBindings {
 public:
  // Left, Right, Up, Down, Space and P, as the game has them.
  KeyBindings();

  // Binds each action a [keys] line names ("left", "right", "up", "down",
  // "space", "pause") to the keys of that line instead. A line that names
  // no action, a key SDL does not know, no key at all, a key that is the
  // game's own for something else (F11, F12, Escape, M, the volume keys) or
  // one that another action holds too, is ignored and its action keeps what
  // it had: one line for each, saying which and why.
  std::vector<std::string> Take(const std::vector<KeysLine>& lines);

  // The virtual key the keyboard key stands for; nothing for the pause and
  // for keys the game does not use.
  std::optional<uint8_t> VirtualKeyOf(SDL_Scancode scancode) const;
  bool IsPause(SDL_Scancode scancode) const;
  // Whether the key is one of the six actions'.
  bool Binds(SDL_Scancode scancode) const { return VirtualKeyOf(scancode) || IsPause(scancode); }
  // Fills `keys` from SDL's array of scancode states (`count` entries):
  // each virtual key with bit 0x80 while one of its keys is down, every
  // other byte 0.
  void Fill(const Uint8* scancode_states, int count, KeySnapshot& keys) const;

  const std::vector<SDL_Scancode>& KeysOf(KeyAction action) const {
    return keys_[static_cast<size_t>(action)];
  }

 private:
  std::array<std::vector<SDL_Scancode>, kKeyActions> keys_;
};

// What the window does with the keys it keeps for itself, which no action
// may take: F11 and Escape, F12, M, - and = (and the keypad's - and +).
// Alt+Enter switches the full screen too, while Enter stays free to bind.
enum class WindowKey { kFullScreen, kLeaveFullScreen, kScreenshot, kMute, kVolumeDown, kVolumeUp };

// What the window keeps the key for; nothing for a key that is free.
std::optional<WindowKey> WindowKeyOf(SDL_Scancode scancode);

}  // namespace rallix
