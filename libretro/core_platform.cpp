#include "libretro/core_platform.h"

#include <utility>

namespace rallix::libretro {

bool CorePlatform::ProcessMessages() {
  if (input_.TakePausePresses() % 2 != 0) {
    paused_ = !paused_;
    pause_changed_ = true;
  }
  return true;
}

bool CorePlatform::IsForeground() {
  if (paused_)
    input_.ForgetPresses();
  return !paused_;
}

void CorePlatform::PlaySoundSync(const std::string& file_name) {
  mixer_.Play(file_name);
  // A sound that does not play holds nothing, as on the desktop.
  if (mixer_.Playing())
    screen_.BeginHold(pictures_ != nullptr ? pictures_->LastFrame() : ComposedFrame{});
}

void CorePlatform::SleepUntil(int32_t deadline) {
  if (static_cast<int32_t>(static_cast<uint32_t>(deadline) - static_cast<uint32_t>(now_)) > 0)
    now_ = deadline;
}

bool CorePlatform::TakePauseChanged() {
  return std::exchange(pause_changed_, false);
}

}  // namespace rallix::libretro
