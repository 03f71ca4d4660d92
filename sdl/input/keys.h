// The key snapshot the game reads on the desktop: the keys the keyboard and
// the gamepads hold, and the game keys pressed since the last snapshot, so
// that a tap shorter than a frame is still seen, once.
#pragma once

#include <SDL.h>

#include <utility>
#include <vector>

#include "game/platform.h"
#include "sdl/input/gamepads.h"
#include "sdl/input/key_bindings.h"

namespace rallix {

class SdlKeys {
 public:
  // The keyboard's keys as `bindings` has them.
  explicit SdlKeys(KeyBindings bindings = {}) : bindings_(std::move(bindings)) {}

  // Takes one event: a key or a pad button going down, a stick moving, a
  // pad plugged in or out. A press counts as a tap only `in_front`: a key
  // pressed while the game is not in front or paused has no effect.
  void Handle(const SDL_Event& event, bool in_front);
  // The window took the key going down (Alt+Enter): it is no game key, held
  // or tapped, until it is let go.
  void Claim(SDL_Scancode key) { claimed_.push_back(key); }
  // The events so far have been handled: the held keys are read as they
  // left them, for the snapshots until the next messages.
  void Settle();
  // Forgets the taps not yet seen: the game went out of front.
  void ForgetTaps() { tapped_.fill(0); }
  // The held keys and the taps since the last snapshot (bit 0x80 each),
  // every other byte 0. A tap shows in one snapshot only.
  void TakeSnapshot(KeySnapshot& keys);

  const KeyBindings& Bindings() const { return bindings_; }

 private:
  KeyBindings bindings_;
  SdlGamepads pads_;
  KeySnapshot held_{};
  KeySnapshot tapped_{};
  std::vector<SDL_Scancode> claimed_;
};

}  // namespace rallix
