// The settings the player changes while playing, kept in the settings file
// on a thread of their own, so that neither a frame nor a screenshot ever
// waits for the file: another program may hold its folder's lock for as long
// as it likes (a game stopped in the middle of a write, a folder on a
// stalled network mount). The changes made meanwhile are kept together when
// the lock comes free. At the end the game waits a moment for those not yet
// kept, then says in one line which could not be kept, and goes.
#pragma once

#include <chrono>
#include <memory>
#include <thread>

#include "sdl/settings/settings_file.h"

namespace rallix {

// How long the game's end waits for the changes not yet kept.
constexpr std::chrono::milliseconds kKeepingAtTheEnd{500};

class SettingsKeeper {
 public:
  explicit SettingsKeeper(SettingsFile file);
  // Finish(kKeepingAtTheEnd).
  ~SettingsKeeper();
  SettingsKeeper(const SettingsKeeper&) = delete;
  SettingsKeeper& operator=(const SettingsKeeper&) = delete;

  // Keeps the change after those given before; returns at once. A later
  // change of the same setting takes the place of one not yet kept.
  void Keep(const SettingChange& change);
  // Waits at most about `moment` for every change given to be kept, then
  // names in one line those that could not be; a change given after it is
  // not kept. Only the first call waits.
  void Finish(std::chrono::milliseconds moment);

 private:
  struct Shared;  // what the thread uses, which it may outlive the keeper with
  static void Work(const std::shared_ptr<Shared>& shared);

  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace rallix
