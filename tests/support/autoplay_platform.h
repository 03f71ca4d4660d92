// A platform whose rallies an Autopilot plays. Every call goes to the
// platform it wraps, but while the game is in a rally the key snapshot's Left
// and Right are the autopilot's, whatever the keyboard holds; the menus and
// the waiting screens read the keyboard as it is. Lets a person or a script
// drive the real game through its menus and watch it win stages.
#pragma once

#include "game/forwarding_platform.h"
#include "game/game_record.h"
#include "tests/support/autopilot.h"

namespace rallix::testing {

class AutoplayPlatform : public ForwardingPlatform {
 public:
  explicit AutoplayPlatform(Platform& inner, bool aim = true)
      : ForwardingPlatform(inner), pilot_(aim) {}

  // The record whose rallies are played: the window's game's own, once it is
  // loaded. Until then every snapshot is the keyboard's.
  void Follow(const GameRecord& record) { record_ = &record; }

  void GetKeyboardState(KeySnapshot& keys) override;

 private:
  Autopilot pilot_;
  const GameRecord* record_ = nullptr;
};

}  // namespace rallix::testing
