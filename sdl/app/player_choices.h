// What the player chose for a run of the desktop game: the settings file's
// choices (sdl/settings/), with the command line's over them for this run.
// Without a settings file and options, the game as it always was.
#pragma once

#include <functional>
#include <string>

#include "sdl/app/command_line.h"
#include "sdl/input/key_bindings.h"
#include "sdl/settings/setting_rules.h"
#include "sdl/settings/settings_file.h"
#include "sdl/video/display_mode.h"

namespace rallix {

struct PlayerChoices {
  DisplayOptions display;
  // The settings file when the scale is its, for a message about it; empty
  // when it is the command line's or the game's own.
  std::string scale_file;
  int volume = 100;  // 0 to 100
  bool muted = false;
  KeyBindings keys;
  // Where F12's pictures go; empty when the system names no folder.
  std::string screenshot_folder;
  // Keeps a setting the player changed while playing, with its value (1
  // and 0 for true and false); it returns at once, the file written on a
  // thread of its own (SettingsKeeper), which the last copy of `keep`
  // finishes. Empty when nothing is kept.
  std::function<void(Setting, int)> keep;
};

// The choices for a run with these options: the file's settings, each
// damaged line and each key binding not taken named on stderr, then the
// options'. `file` is null when there is none to read or write
// (--no-settings). A setting given on the command line is not kept, even
// when it is changed while playing; where the system names no place for the
// file, the first change says it is not kept.
PlayerChoices ChoicesFor(const CommandLineOptions& options, SettingsFile* file);

// The settings file of this system's player (sdl/system/user_folders.h);
// one with no path when the system names no place for it.
SettingsFile PlayersSettingsFile();

}  // namespace rallix
