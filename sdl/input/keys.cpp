#include "sdl/input/keys.h"

#include <algorithm>
#include <array>

#include "sdl/input/key_map.h"

namespace rallix {

void SdlKeys::Handle(const SDL_Event& event, bool in_front) {
  KeySnapshot pressed{};
  if (event.type == SDL_KEYDOWN) {
    if (event.key.repeat != 0)
      return;
    if (const std::optional<uint8_t> key = bindings_.VirtualKeyOf(event.key.keysym.scancode))
      pressed[*key] = kKeyDownBit;
  } else {
    pads_.Handle(event, pressed);
  }
  if (!in_front)
    return;
  for (size_t key = 0; key < pressed.size(); ++key)
    tapped_[key] |= pressed[key];
}

void SdlKeys::Settle() {
  int count = 0;
  const Uint8* states = SDL_GetKeyboardState(&count);
  std::array<Uint8, SDL_NUM_SCANCODES> unclaimed{};
  count = states == nullptr ? 0 : std::clamp(count, 0, int{SDL_NUM_SCANCODES});
  std::copy_n(states, count, unclaimed.begin());
  // A claim lasts while its key is down.
  claimed_.erase(std::remove_if(claimed_.begin(), claimed_.end(),
                                [&](SDL_Scancode key) { return unclaimed[key] == 0; }),
                 claimed_.end());
  for (SDL_Scancode key : claimed_)
    unclaimed[key] = 0;
  bindings_.Fill(unclaimed.data(), count, held_);
  pads_.AddHeldKeys(held_);
}

void SdlKeys::TakeSnapshot(KeySnapshot& keys) {
  for (size_t key = 0; key < keys.size(); ++key)
    keys[key] = held_[key] | tapped_[key];
  ForgetTaps();
}

}  // namespace rallix
