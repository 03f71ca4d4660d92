#include <windows.h>
// After windows.h:
#include <knownfolders.h>
#include <shlobj.h>

#include "sdl/system/files.h"
#include "sdl/system/user_folders.h"
#include "sdl/system/windows/wide_text.h"

namespace rallix {

std::string SettingsFolder() {
  const std::string roaming = EnvironmentValue("APPDATA");
  return roaming.empty() ? "" : JoinPath(roaming, "Rallix");
}

std::string SettingsFileAsNamed() {
  return "%APPDATA%\\Rallix\\settings.ini";
}

std::string PicturesFolder() {
  // Where the player's pictures are, wherever they or a cloud drive moved
  // them (made with the first picture, when missing); the profile's Pictures
  // where the system will not say.
  wchar_t* known = nullptr;
  std::string pictures;
  if (SHGetKnownFolderPath(FOLDERID_Pictures, KF_FLAG_DONT_VERIFY, nullptr, &known) == S_OK)
    pictures = Utf8Of(known);
  CoTaskMemFree(known);
  if (!pictures.empty())
    return pictures;
  const std::string profile = EnvironmentValue("USERPROFILE");
  return profile.empty() ? "" : JoinPath(profile, "Pictures");
}

}  // namespace rallix
