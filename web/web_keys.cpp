#include "web/web_keys.h"

namespace rallix::web {
namespace {

struct GameKey {
  std::string_view code;
  uint8_t virtual_key;
};

// The legacy key codes of these five keys are their virtual-key codes.
constexpr GameKey kGameKeys[] = {
    {"Space", kVkSpace},      {"ArrowLeft", kVkLeft}, {"ArrowUp", kVkUp},
    {"ArrowRight", kVkRight}, {"ArrowDown", kVkDown},
};

}  // namespace

std::optional<uint8_t> GameKeyOf(std::string_view code, unsigned long key_code) {
  for (const GameKey& key : kGameKeys) {
    if (code.empty() ? key_code == key.virtual_key : code == key.code)
      return key.virtual_key;
  }
  return std::nullopt;
}

bool HeldKeys::Press(std::string_view code, unsigned long key_code) {
  const std::optional<uint8_t> key = GameKeyOf(code, key_code);
  if (!key)
    return false;
  down_[*key] = kKeyDownBit;
  return true;
}

bool HeldKeys::Release(std::string_view code, unsigned long key_code) {
  const std::optional<uint8_t> key = GameKeyOf(code, key_code);
  if (!key)
    return false;
  down_[*key] = 0;
  return true;
}

}  // namespace rallix::web
