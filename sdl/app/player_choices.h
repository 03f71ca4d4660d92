// What the player chose for a run of the desktop game: the settings file's
// choices (sdl/settings/), with the command line's over them for this run.
// Without a settings file and options, the game as it always was.
#pragma once

#include <functional>
#include <string>

#include "sdl/app/command_line.h"
#include "sdl/input/key_bindings.h"
#include "sdl/settings/settings_file.h"
#include "sdl/video/display_mode.h"

namespace rallix {

struct PlayerChoices {
  DisplayOptions display;
  int volume = 100;  // 0 to 100
  bool muted = false;
  KeyBindings keys;
  // Where F12's pictures go; empty when the system names no folder.
  std::string screenshot_folder;
  // Keeps a setting the player changed while playing (section, name,
  // value: "sound", "mute", "true"), off the frame's path; empty when
  // nothing is kept.
  std::function<void(const std::string&, const std::string&, const std::string&)> keep;
};

// The choices for a run with these options: the file's settings, each
// damaged line and each key binding not taken named on stderr, then the
// options'. `file` is null when there is none to read or write
// (--no-settings); it outlives the choices. A setting given on the command
// line is not kept, even when it is changed while playing.
PlayerChoices ChoicesFor(const CommandLineOptions& options, SettingsFile* file);

// The settings file of this system's player (sdl/system/user_folders.h);
// one with no path when the system names no place for it.
SettingsFile PlayersSettingsFile();

}  // namespace rallix
