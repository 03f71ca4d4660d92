#include "demo/format.h"

namespace rallix {
namespace {

constexpr uint8_t kDemoKeys[5] = {kVkSpace, kVkLeft, kVkUp, kVkRight, kVkDown};

}  // namespace

uint8_t DemoKeysOf(const KeySnapshot& keys) {
  uint8_t demo_keys = 0;
  for (int bit = 0; bit < 5; ++bit) {
    if (IsKeyDown(keys, kDemoKeys[bit]))
      demo_keys = static_cast<uint8_t>(demo_keys | (1u << bit));
  }
  return demo_keys;
}

void SetDemoKeys(uint8_t demo_keys, KeySnapshot& keys) {
  keys.fill(0);
  for (int bit = 0; bit < 5; ++bit) {
    if ((demo_keys & (1u << bit)) != 0)
      keys[kDemoKeys[bit]] = kKeyDownBit;
  }
}

}  // namespace rallix
