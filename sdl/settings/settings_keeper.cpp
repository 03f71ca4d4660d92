#include "sdl/settings/settings_keeper.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "base/printable_text.h"
#include "sdl/system/files.h"

namespace rallix {
namespace {

using Clock = std::chrono::steady_clock;

// A thread that is still in a system call this long after the wait ended
// (a file on a stalled network mount) is left to it: the game ends anyway.
constexpr std::chrono::milliseconds kStuck{250};

// Adds `change` to `changes`, in the place of one of the same setting.
void Merge(std::vector<SettingChange>& changes, const SettingChange& change) {
  const auto same = std::find_if(changes.begin(), changes.end(), [&](const SettingChange& c) {
    return c.section == change.section && c.name == change.name;
  });
  if (same != changes.end())
    changes.erase(same);
  changes.push_back(change);
}

}  // namespace

struct SettingsKeeper::Shared {
  explicit Shared(SettingsFile settings) : file(std::move(settings)) {}

  SettingsFile file;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<SettingChange> waiting;  // not yet taken by the thread
  std::vector<SettingChange> writing;  // taken, being kept
  std::vector<SettingChange> lost;     // given up at the end
  bool finishing = false;
  Clock::time_point deadline;  // when finishing: the end of the wait for the lock
};

SettingsKeeper::SettingsKeeper(SettingsFile file)
    : shared_(std::make_shared<Shared>(std::move(file))) {}

SettingsKeeper::~SettingsKeeper() {
  Finish(kKeepingAtTheEnd);
}

void SettingsKeeper::Keep(const SettingChange& change) {
  {
    const std::lock_guard<std::mutex> lock(shared_->mutex);
    if (shared_->finishing)
      return;
    Merge(shared_->waiting, change);
    if (!thread_.joinable())
      thread_ = std::thread(Work, shared_);
  }
  shared_->changed.notify_all();
}

void SettingsKeeper::Work(const std::shared_ptr<Shared>& shared) {
  const auto give_up = [&shared] {
    const std::lock_guard<std::mutex> lock(shared->mutex);
    return shared->finishing && Clock::now() >= shared->deadline;
  };
  std::unique_lock<std::mutex> lock(shared->mutex);
  for (;;) {
    shared->changed.wait(lock, [&] { return !shared->waiting.empty() || shared->finishing; });
    if (shared->waiting.empty())
      return;  // finishing, and nothing left to keep
    shared->writing = std::move(shared->waiting);
    shared->waiting.clear();
    lock.unlock();
    const SaveResult result = shared->file.Save(shared->writing, give_up);
    lock.lock();
    if (result == SaveResult::kGaveUp) {
      for (const SettingChange& change : shared->writing)
        Merge(shared->lost, change);
    }
    shared->writing.clear();
    shared->changed.notify_all();
  }
}

void SettingsKeeper::Finish(std::chrono::milliseconds moment) {
  std::vector<SettingChange> not_kept;
  bool done = false;
  {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    if (shared_->finishing)
      return;
    shared_->finishing = true;
    shared_->deadline = Clock::now() + moment;
    shared_->changed.notify_all();
    done = shared_->changed.wait_until(lock, shared_->deadline + kStuck, [this] {
      return shared_->waiting.empty() && shared_->writing.empty();
    });
    not_kept = shared_->lost;
    for (const std::vector<SettingChange>* left : {&shared_->writing, &shared_->waiting}) {
      for (const SettingChange& change : *left)
        Merge(not_kept, change);
    }
  }
  if (thread_.joinable()) {
    if (done)
      thread_.join();
    else
      thread_.detach();  // it has what it uses
  }
  if (not_kept.empty())
    return;
  std::string changes;
  for (const SettingChange& change : not_kept)
    changes += (changes.empty() ? "" : ", ") + change.name + " = " + change.value;
  shared_->file.Say("rallix: " + changes + " could not be kept in " +
                    PrintableText(shared_->file.Path()) + ": " +
                    (done ? kLockTakenText : "the file could not be written in time"));
}

}  // namespace rallix
