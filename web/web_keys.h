// The game's five keys in the browser, and the held keys that the key
// snapshot is filled from: the keyboard's, the touch controls' and the
// gamepads', all feeding the same snapshot.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string_view>

#include "game/platform.h"

namespace rallix::web {

// One of the game's keys: the key event's `code` (its place on the
// keyboard), the name the page's touch controls carry and its virtual-key
// code, which is also the legacy `keyCode` of the key.
struct GameKey {
  std::string_view code;
  std::string_view name;
  uint8_t virtual_key;
};

// The game's five keys: Space and the four arrows.
const std::array<GameKey, 5>& GameKeys();

// The virtual-key code of one of the game's keys, found from the key
// event's `code`; a browser that leaves `code` empty is asked its
// `keyCode`. Nothing for every other key.
std::optional<uint8_t> GameKeyOf(std::string_view code, unsigned long key_code);

// True for the virtual-key codes of the game's five keys.
bool IsGameKey(int virtual_key);

// Where a press comes from. A key is down while any of them holds it, so
// letting go of the pad's Left does not let go of the keyboard's.
enum class KeySource : uint8_t { kKeyboard, kTouch, kPad };
constexpr int kKeySources = 3;

// One press or release of a game key by the touch controls or a gamepad, as
// the page reports them.
struct ButtonEvent {
  KeySource source = KeySource::kTouch;
  int virtual_key = 0;
  bool down = false;
};

// Which of the game's keys are down, as left by the key events so far, and
// which were pressed since the last snapshot: a press that went down and up
// again between two snapshots is seen as down in the next one, once.
class HeldKeys {
 public:
  // A key went down (or repeats). True when it is one of the game's keys,
  // which the page must not act on itself (arrows and Space scroll it).
  bool Press(std::string_view code, unsigned long key_code);
  // A key went up. True for the game's keys, as Press.
  bool Release(std::string_view code, unsigned long key_code);
  // A game key pressed or let go by a source; anything else is ignored.
  void Press(KeySource source, int virtual_key);
  void Release(KeySource source, int virtual_key);
  // The page lost the keyboard focus: no key-up will come for the keys held.
  void ReleaseAll();
  // Presses made while the game was not in front count for nothing once
  // they are let go.
  void ForgetTaps() { tapped_.reset(); }
  // The snapshot: bit 0x80 set for each held key and each key pressed since
  // the last snapshot, every other byte 0.
  void TakeSnapshot(KeySnapshot& keys);

 private:
  std::bitset<256> down_[kKeySources];
  std::bitset<256> tapped_;
};

}  // namespace rallix::web
