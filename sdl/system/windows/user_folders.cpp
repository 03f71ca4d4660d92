#include "sdl/system/user_folders.h"

#include "sdl/system/files.h"

namespace rallix {

std::string SettingsFolder() {
  const std::string roaming = EnvironmentValue("APPDATA");
  return roaming.empty() ? "" : JoinPath(roaming, "Rallix");
}

std::string SettingsFileAsNamed() {
  return "%APPDATA%\\Rallix\\settings.ini";
}

std::string PicturesFolder() {
  const std::string profile = EnvironmentValue("USERPROFILE");
  return profile.empty() ? "" : JoinPath(profile, "Pictures");
}

}  // namespace rallix
