#include "libretro/pad_input.h"

#include "generated/libretro_lists.h"

namespace rallix::libretro {
namespace {

// The game keys, one bit each.
constexpr uint8_t kKeys[] = {kVkSpace, kVkLeft, kVkUp, kVkRight, kVkDown};
constexpr uint8_t kSpaceBit = 1;
constexpr uint8_t kLeftBit = 2;
constexpr uint8_t kUpBit = 4;
constexpr uint8_t kRightBit = 8;
constexpr uint8_t kDownBit = 16;
// Select, beside the game keys in the pad's bits, asks for the pause.
constexpr uint8_t kGameKeyBits = PadInput::kGameKeyBits;
constexpr uint8_t kSelectBit = PadInput::kSelectBit;

struct ButtonBit {
  unsigned id;
  uint8_t bit;
};
constexpr ButtonBit kPadButtons[] = {
    {RETRO_DEVICE_ID_JOYPAD_LEFT, kLeftBit},   {RETRO_DEVICE_ID_JOYPAD_UP, kUpBit},
    {RETRO_DEVICE_ID_JOYPAD_RIGHT, kRightBit}, {RETRO_DEVICE_ID_JOYPAD_DOWN, kDownBit},
    {RETRO_DEVICE_ID_JOYPAD_B, kSpaceBit},     {RETRO_DEVICE_ID_JOYPAD_A, kSpaceBit},
    {RETRO_DEVICE_ID_JOYPAD_START, kSpaceBit}, {RETRO_DEVICE_ID_JOYPAD_SELECT, kSelectBit},
};
constexpr ButtonBit kKeyboardKeys[] = {
    {RETROK_LEFT, kLeftBit}, {RETROK_UP, kUpBit},       {RETROK_RIGHT, kRightBit},
    {RETROK_DOWN, kDownBit}, {RETROK_SPACE, kSpaceBit},
};

// The left stick: an axis pushed past half its range holds the arrow it
// points to, so a diagonal holds two.
constexpr int kStickHalfRange = 16384;
uint8_t StickBits(int x, int y) {
  uint8_t bits = 0;
  if (x <= -kStickHalfRange)
    bits |= kLeftBit;
  if (x >= kStickHalfRange)
    bits |= kRightBit;
  if (y <= -kStickHalfRange)
    bits |= kUpBit;
  if (y >= kStickHalfRange)
    bits |= kDownBit;
  return bits;
}

}  // namespace

const retro_input_descriptor kInputDescriptors[] = {
    RALLIX_PAD_DESCRIPTORS{0, 0, 0, 0, nullptr},
};

void PadInput::Poll(retro_input_state_t input_state) {
  uint8_t pad = 0;
  if (input_state != nullptr) {
    for (const ButtonBit& button : kPadButtons) {
      if (input_state(0, RETRO_DEVICE_JOYPAD, 0, button.id) != 0)
        pad |= button.bit;
    }
    pad |= StickBits(input_state(0, RETRO_DEVICE_ANALOG, RETRO_DEVICE_INDEX_ANALOG_LEFT,
                                 RETRO_DEVICE_ID_ANALOG_X),
                     input_state(0, RETRO_DEVICE_ANALOG, RETRO_DEVICE_INDEX_ANALOG_LEFT,
                                 RETRO_DEVICE_ID_ANALOG_Y));
  }
  const auto newly_down = static_cast<uint8_t>(pad & ~pad_);
  pressed_ |= newly_down & kGameKeyBits;
  if ((newly_down & kSelectBit) != 0)
    ++pause_presses_;
  pad_ = pad;
}

void PadInput::Key(bool down, unsigned keycode) {
  if (keycode == RETROK_p) {
    // A key held long repeats its down events: only the first one counts.
    if (down && !p_held_)
      ++pause_presses_;
    p_held_ = down;
    return;
  }
  for (const ButtonBit& key : kKeyboardKeys) {
    if (key.id != keycode)
      continue;
    if (down) {
      pressed_ |= key.bit;
      keyboard_ |= key.bit;
    } else {
      keyboard_ &= static_cast<uint8_t>(~key.bit);
    }
  }
}

void PadInput::TakeSnapshot(KeySnapshot& keys) {
  keys.fill(0);
  const uint8_t down = (pad_ & kGameKeyBits) | keyboard_ | pressed_;
  for (size_t i = 0; i < sizeof kKeys; ++i) {
    if ((down & (1u << i)) != 0)
      keys[kKeys[i]] = kKeyDownBit;
  }
  pressed_ = 0;
}

uint8_t PadInput::TakePausePresses() {
  const uint8_t presses = pause_presses_;
  pause_presses_ = 0;
  return presses;
}

void PadInput::Restore(const Saved& saved) {
  pad_ = saved.pad & (kGameKeyBits | kSelectBit);
  pressed_ = saved.pressed & kGameKeyBits;
  pause_presses_ = saved.pause_presses;
}

}  // namespace rallix::libretro
