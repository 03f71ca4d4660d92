// The player's settings file (sdl/settings/settings_text.h says what it
// holds): read once when the game starts, and changed one setting at a time
// when the player changes one while playing. A change is merged into the
// file as it is on the disk then, under a lock on its folder, and written
// beside it before it takes the file's place, so that two games writing at
// once lose neither's change and the file is never lost or half written.
// Trouble is named once, in one line on stderr, and the game goes on with
// its own settings.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sdl/settings/settings_text.h"

namespace rallix {

// Far above anything a player writes: a larger file is not read, nor
// written over.
constexpr size_t kMostSettingsBytes = 64 * 1024;

enum class SaveResult {
  kKept,
  kFailed,  // not kept, and why named (once)
  kGaveUp,  // not kept: the wait for the folder's lock was given up, nothing named
};

class SettingsFile {
 public:
  // The file at `path` in the folder `folder`; `say` takes each line for
  // stderr (the default writes it there).
  SettingsFile(std::string folder, std::string path,
               std::function<void(const std::string&)> say = {});

  // The settings of the file as it is now, after a line for each damaged
  // line ("rallix: PATH line 3, ...; the line is ignored") and for a file
  // that is there but cannot be read. No file: no settings, and nothing said.
  SettingsRead Load();
  // Names a line of the [keys] section that was not taken, as Load names a
  // damaged one.
  void SayIgnored(const std::string& problem) const;

  // Makes each change in the file, in order, making the folder and the file
  // when they are missing. A file that is there but cannot be read, or is
  // read-only, is left as it is; the first failure is named. The wait for
  // the folder's lock ends when `give_up` (when given) says so.
  SaveResult Save(const std::vector<SettingChange>& changes,
                  const std::function<bool()>& give_up = {});

  const std::string& Path() const { return path_; }
  // Says one line, as the file's other lines are said.
  void Say(const std::string& line) const;

 private:
  SaveResult Fail(const std::string& why);

  std::string folder_;
  std::string path_;
  std::function<void(const std::string&)> say_;
  bool failure_named_ = false;
};

}  // namespace rallix
