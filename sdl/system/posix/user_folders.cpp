#include "sdl/system/user_folders.h"

#include "sdl/system/files.h"

namespace rallix {
namespace {

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
std::string ConfigHome() {
  const std::string config = EnvironmentValue("XDG_CONFIG_HOME");
  if (!config.empty() && config[0] == '/')
    return config;
  const std::string home = EnvironmentValue("HOME");
  return home.empty() ? "" : JoinPath(home, ".config");
}

}  // namespace

std::string SettingsFolder() {
  const std::string config = ConfigHome();
  return config.empty() ? "" : JoinPath(config, "rallix");
}

std::string SettingsFileAsNamed() {
  return "~/.config/rallix/settings.ini";
}

std::string PicturesFolder() {
  const std::string home = EnvironmentValue("HOME");
  const std::string config = ConfigHome();
  if (!config.empty()) {
    const SmallFile dirs = ReadSmallFile(JoinPath(config, "user-dirs.dirs"), 64 * 1024);
    const std::string named = PicturesFolderOfUserDirs(dirs.bytes, home);
    if (!named.empty())
      return named;
  }
  return home.empty() ? "" : JoinPath(home, "Pictures");
}

}  // namespace rallix
