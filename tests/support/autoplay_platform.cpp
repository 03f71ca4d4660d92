#include "tests/support/autoplay_platform.h"

namespace rallix::testing {

void AutoplayPlatform::GetKeyboardState(KeySnapshot& keys) {
  Inner().GetKeyboardState(keys);
  if (record_ == nullptr || record_->State != kStateRally)
    return;
  keys[kVkLeft] = 0;
  keys[kVkRight] = 0;
  pilot_.Steer(*record_, keys);
}

}  // namespace rallix::testing
