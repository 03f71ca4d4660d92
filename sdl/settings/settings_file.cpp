#include "sdl/settings/settings_file.h"

#include <cstdio>
#include <utility>

#include "base/printable_text.h"
#include "sdl/system/files.h"

namespace rallix {

SettingsFile::SettingsFile(std::string folder, std::string path,
                           std::function<void(const std::string&)> say)
    : folder_(std::move(folder)), path_(std::move(path)), say_(std::move(say)) {}

void SettingsFile::Say(const std::string& line) const {
  if (say_) {
    say_(line);
    return;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

SettingsRead SettingsFile::Load() {
  const SmallFile file = ReadSmallFile(path_, kMostSettingsBytes);
  if (file.kind == SmallFile::Kind::kMissing)
    return {};
  if (file.kind == SmallFile::Kind::kUnreadable) {
    Say("rallix: cannot read the settings " + PrintableText(path_) + ": " + file.error +
        "; the game starts with its own");
    return {};
  }
  SettingsRead read = ReadSettings(file.bytes);
  for (const std::string& damaged : read.damaged)
    SayIgnored(damaged);
  return read;
}

void SettingsFile::SayIgnored(const std::string& problem) const {
  Say("rallix: " + PrintableText(path_) + " " + problem + "; the line is ignored");
}

SaveResult SettingsFile::Fail(const std::string& why) {
  if (!failure_named_) {
    failure_named_ = true;
    Say("rallix: cannot keep the settings in " + PrintableText(path_) + ": " + why);
  }
  return SaveResult::kFailed;
}

SaveResult SettingsFile::Save(const std::vector<SettingChange>& changes,
                              const std::function<bool()>& give_up) {
  const std::string folder_trouble = MakeFolders(folder_);
  if (!folder_trouble.empty())
    return Fail(folder_trouble);
  // Another game may write it meanwhile: read, change and write it whole
  // while no other holds the lock.
  const FolderLock lock(folder_, give_up);
  if (!lock.Held()) {
    if (lock.Error() == kLockTakenText)
      return SaveResult::kGaveUp;
    return Fail("its folder cannot be locked (" + lock.Error() + ")");
  }
  const SmallFile file = ReadSmallFile(path_, kMostSettingsBytes);
  if (file.kind == SmallFile::Kind::kUnreadable)
    return Fail("the file there cannot be read (" + file.error + ")");
  std::string text = file.bytes;
  for (const SettingChange& change : changes)
    text = WithSetting(text, change.section, change.name, change.value);
  std::string error;
  if (!ReplaceWholeFile(path_, text, error))
    return Fail(error);
  return SaveResult::kKept;
}

}  // namespace rallix
