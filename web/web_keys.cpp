#include "web/web_keys.h"

namespace rallix::web {

const std::array<GameKey, 5>& GameKeys() {
  static constexpr std::array<GameKey, 5> kGameKeys = {{
      {"Space", "space", kVkSpace},
      {"ArrowLeft", "left", kVkLeft},
      {"ArrowUp", "up", kVkUp},
      {"ArrowRight", "right", kVkRight},
      {"ArrowDown", "down", kVkDown},
  }};
  return kGameKeys;
}

std::optional<uint8_t> GameKeyOf(std::string_view code, unsigned long key_code) {
  for (const GameKey& key : GameKeys()) {
    if (code.empty() ? key_code == key.virtual_key : code == key.code)
      return key.virtual_key;
  }
  return std::nullopt;
}

bool IsGameKey(int virtual_key) {
  for (const GameKey& key : GameKeys()) {
    if (virtual_key == key.virtual_key)
      return true;
  }
  return false;
}

bool HeldKeys::Press(std::string_view code, unsigned long key_code) {
  const std::optional<uint8_t> key = GameKeyOf(code, key_code);
  if (!key)
    return false;
  Press(KeySource::kKeyboard, *key);
  return true;
}

bool HeldKeys::Release(std::string_view code, unsigned long key_code) {
  const std::optional<uint8_t> key = GameKeyOf(code, key_code);
  if (!key)
    return false;
  Release(KeySource::kKeyboard, *key);
  return true;
}

void HeldKeys::Press(KeySource source, int virtual_key) {
  if (!IsGameKey(virtual_key))
    return;
  down_[static_cast<int>(source)].set(static_cast<size_t>(virtual_key));
  tapped_.set(static_cast<size_t>(virtual_key));
}

void HeldKeys::Release(KeySource source, int virtual_key) {
  if (!IsGameKey(virtual_key))
    return;
  down_[static_cast<int>(source)].reset(static_cast<size_t>(virtual_key));
}

void HeldKeys::ReleaseAll() {
  for (std::bitset<256>& source : down_)
    source.reset();
  tapped_.reset();
}

void HeldKeys::TakeSnapshot(KeySnapshot& keys) {
  std::bitset<256> down = tapped_;
  for (const std::bitset<256>& source : down_)
    down |= source;
  for (size_t key = 0; key < keys.size(); ++key)
    keys[key] = down.test(key) ? kKeyDownBit : 0;
  tapped_.reset();
}

}  // namespace rallix::web
