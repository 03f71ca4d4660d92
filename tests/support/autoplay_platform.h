// A platform whose rallies an Autopilot plays. Every call goes to the
// platform it wraps, but while the game is in a rally the key snapshot's Left
// and Right are the autopilot's, whatever the keyboard holds; the menus and
// the waiting screens read the keyboard as it is. Lets a person or a script
// drive the real game through its menus and watch it win stages.
#pragma once

#include "game/game_record.h"
#include "game/platform.h"
#include "tests/support/autopilot.h"

namespace rallix::testing {

class AutoplayPlatform : public Platform {
 public:
  explicit AutoplayPlatform(Platform& inner, bool aim = true) : inner_(inner), pilot_(aim) {}

  // The record whose rallies are played: the window's game's own, once it is
  // loaded. Until then every snapshot is the keyboard's.
  void Follow(const GameRecord& record) { record_ = &record; }

  int32_t TimeGetTime() override { return inner_.TimeGetTime(); }
  bool ProcessMessages() override { return inner_.ProcessMessages(); }
  bool IsForeground() override { return inner_.IsForeground(); }
  void GetKeyboardState(KeySnapshot& keys) override;
  void PlaySoundAsync(const std::string& file_name) override { inner_.PlaySoundAsync(file_name); }
  void PlaySoundSync(const std::string& file_name) override { inner_.PlaySoundSync(file_name); }
  void StopSound() override { inner_.StopSound(); }
  void Present(const Surface& frame) override { inner_.Present(frame); }
  void SleepUntil(int32_t deadline) override { inner_.SleepUntil(deadline); }
  void ReportFatalError(const std::string& message) override { inner_.ReportFatalError(message); }

 private:
  Platform& inner_;
  Autopilot pilot_;
  const GameRecord* record_ = nullptr;
};

}  // namespace rallix::testing
