// The game's five keys as the frontend gives them: the RetroPad of port 0
// (D-pad and left stick as the arrows, B, A and Start as Space) and the
// keyboard callback (the arrows and Space), both feeding one key snapshot;
// Select and the keyboard's P ask for the pause, as P does on the desktop.
#pragma once

#include <cstdint>

#include "game/platform.h"
#include "libretro/libretro_api.h"

namespace rallix::libretro {

// The RetroPad's buttons as the frontend's remapping menu names them, ending
// with a NULL description.
extern const retro_input_descriptor kInputDescriptors[];

class PadInput {
 public:
  // Reads the pad and its left stick once a run. A button newly down counts
  // as a press, as a key newly down does (see TakeSnapshot).
  void Poll(retro_input_state_t input_state);
  // A key of the keyboard went down or up.
  void Key(bool down, unsigned keycode);

  // Bit 0x80 of each game key held by the pad or the keyboard, or pressed
  // since the last snapshot (a press that came and went between two of the
  // game's readings, while a sound held the game, still shows, once).
  void TakeSnapshot(KeySnapshot& keys);
  // Presses not yet seen are forgotten: the game is not in front.
  void ForgetPresses() { pressed_ = 0; }
  // The pause presses (Select, P) since the last call.
  uint8_t TakePausePresses();

  // What a save state keeps: the pad's buttons (and Select) at the last
  // poll, the presses not yet seen and the pause presses not yet taken. The
  // keys the keyboard holds are not the game's but the keyboard's as it is
  // now, whose changes the frontend goes on reporting.
  // The bits of a saved state's buttons and presses: the game keys, and
  // Select beside them on the pad.
  static constexpr uint8_t kGameKeyBits = 31;
  static constexpr uint8_t kSelectBit = 32;
  static constexpr uint8_t kPadBits = kGameKeyBits | kSelectBit;
  struct Saved {
    uint8_t pad = 0;
    uint8_t pressed = 0;
    uint8_t pause_presses = 0;
  };
  Saved Save() const { return {pad_, pressed_, pause_presses_}; }
  void Restore(const Saved& saved);

 private:
  uint8_t pad_ = 0;       // the game keys and Select the pad holds
  uint8_t keyboard_ = 0;  // the game keys the keyboard holds
  bool p_held_ = false;   // the keyboard's P
  uint8_t pressed_ = 0;   // game keys pressed since the last snapshot
  uint8_t pause_presses_ = 0;
};

}  // namespace rallix::libretro
