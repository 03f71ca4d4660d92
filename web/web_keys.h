// The game's five keys in the browser, and the held keys that the key
// snapshot is filled from.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "game/platform.h"

namespace rallix::web {

// The virtual-key code of one of the game's keys (Space and the four
// arrows), found from the key event's `code`, the key's place on the
// keyboard; a browser that leaves `code` empty is asked its `keyCode`.
// Nothing for every other key.
std::optional<uint8_t> GameKeyOf(std::string_view code, unsigned long key_code);

// Which of the game's keys are down, as left by the key events so far.
class HeldKeys {
 public:
  // A key went down (or repeats). True when it is one of the game's keys,
  // which the page must not act on itself (arrows and Space scroll it).
  bool Press(std::string_view code, unsigned long key_code);
  // A key went up. True for the game's keys, as Press.
  bool Release(std::string_view code, unsigned long key_code);
  // The page lost the keyboard focus: no key-up will come for the keys held.
  void ReleaseAll() { down_.fill(0); }
  // The snapshot: bit 0x80 set for each held key, every other byte 0.
  void Fill(KeySnapshot& keys) const { keys = down_; }

 private:
  KeySnapshot down_{};
};

}  // namespace rallix::web
