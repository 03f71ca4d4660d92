// The player's own folders, as the desktop names them: where the game keeps
// its settings and where a picture of it goes. Each system has its side:
// user_folders.cpp under sdl/system/posix and sdl/system/windows.
#pragma once

#include <string>

namespace rallix {

// The folder of the game's settings: $XDG_CONFIG_HOME/rallix, or
// ~/.config/rallix without it; on Windows %APPDATA%\Rallix. Empty when the
// system names no such place (no HOME, no APPDATA).
std::string SettingsFolder();

// The settings file as the help names it, for a reader of any system's
// ("~/.config/rallix/settings.ini").
std::string SettingsFileAsNamed();

// The player's pictures folder: the XDG_PICTURES_DIR of user-dirs.dirs (in
// $XDG_CONFIG_HOME or ~/.config), else ~/Pictures; on Windows the Pictures
// known folder, else %USERPROFILE%\Pictures. Empty when the system names
// none.
std::string PicturesFolder();

// The XDG_PICTURES_DIR that the text of a user-dirs.dirs file names, with
// "$HOME" at its start read as `home`; empty when the file names none, or
// only the home folder itself (the way it says the folder is not wanted).
std::string PicturesFolderOfUserDirs(const std::string& user_dirs, const std::string& home);

}  // namespace rallix
