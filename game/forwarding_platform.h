// A platform that passes every call on to another one: the base of the
// wrappers that change a call or two (a steering player, a stopwatch on each
// frame, errors raised on purpose) and leave the rest as they are.
#pragma once

#include <cstdint>
#include <string>

#include "game/platform.h"

namespace rallix {

class ForwardingPlatform : public Platform {
 public:
  explicit ForwardingPlatform(Platform& inner) : inner_(inner) {}

  int32_t TimeGetTime() override { return inner_.TimeGetTime(); }
  int32_t PlayClock() override { return inner_.PlayClock(); }
  bool ProcessMessages() override { return inner_.ProcessMessages(); }
  bool IsForeground() override { return inner_.IsForeground(); }
  void GetKeyboardState(KeySnapshot& keys) override { inner_.GetKeyboardState(keys); }
  void PlaySoundAsync(const std::string& file_name) override { inner_.PlaySoundAsync(file_name); }
  void PlaySoundSync(const std::string& file_name) override { inner_.PlaySoundSync(file_name); }
  void StopSound() override { inner_.StopSound(); }
  void Present(const Surface& frame) override { inner_.Present(frame); }
  void SleepUntil(int32_t deadline) override { inner_.SleepUntil(deadline); }
  void ReportFatalError(const std::string& message) override { inner_.ReportFatalError(message); }

 protected:
  Platform& Inner() const { return inner_; }

 private:
  Platform& inner_;
};

}  // namespace rallix
