#include "sdl/input/key_map.h"

namespace rallix {
namespace {

struct PadPair {
  SDL_GameControllerButton button;
  uint8_t virtual_key;
};

constexpr PadPair kPadButtons[] = {
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, kVkLeft},   {SDL_CONTROLLER_BUTTON_DPAD_UP, kVkUp},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, kVkRight}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kVkDown},
    {SDL_CONTROLLER_BUTTON_A, kVkSpace},          {SDL_CONTROLLER_BUTTON_START, kVkSpace},
};

// The stick's dead zone, a circle of half the full range, squared.
constexpr long long kDeadZoneSquared = 16384LL * 16384LL;
// cos(67.5 degrees), squared: a direction holds while the stick's part along
// it is at least this share of its length (squared).
constexpr double kDirectionShareSquared = 0.14644660940672624;

}  // namespace

std::optional<uint8_t> VirtualKeyOfPadButton(SDL_GameControllerButton button) {
  for (const PadPair& pair : kPadButtons) {
    if (pair.button == button)
      return pair.virtual_key;
  }
  return std::nullopt;
}

void AddStickKeys(int x, int y, KeySnapshot& keys) {
  const long long length_squared = 1LL * x * x + 1LL * y * y;
  if (length_squared < kDeadZoneSquared)
    return;
  const double least = kDirectionShareSquared * static_cast<double>(length_squared);
  const auto holds = [&](int along) { return static_cast<double>(1LL * along * along) >= least; };
  if (x < 0 && holds(x))
    keys[kVkLeft] = kKeyDownBit;
  if (x > 0 && holds(x))
    keys[kVkRight] = kKeyDownBit;
  if (y < 0 && holds(y))
    keys[kVkUp] = kKeyDownBit;
  if (y > 0 && holds(y))
    keys[kVkDown] = kKeyDownBit;
}

}  // namespace rallix
