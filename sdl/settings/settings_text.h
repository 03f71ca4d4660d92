// The text of the settings file, which the player may edit as well:
//
//   # a comment, on a line of its own (or ; as other programs write them)
//   [display]
//   scale = 2
//   fullscreen = false
//   [sound]
//   volume = 80
//   mute = false
//   [keys]
//   down = Down S             one or more of SDL's key names
//
// (the settings and the values each takes: setting_rules.h)
// Reading it and changing one setting in it, as plain text: nothing here
// touches a file. Sections and names are read whatever their case; lines end
// in LF, CR LF or CR alone, and a UTF-8 byte-order mark before the first is
// passed over (an editor's doing).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace rallix {

// The settings a file gives; nothing for those it leaves out.
struct SettingValues {
  std::optional<int> scale;
  std::optional<bool> fullscreen;
  std::optional<int> volume;
  std::optional<bool> mute;
};

// A line of the [keys] section: the action it names ("left") and the key
// names after the "=", as written. The key names are read where SDL's are
// known (sdl/input/key_bindings.h).
struct KeysLine {
  int number = 0;    // the line's number in the file, from 1
  std::string text;  // the whole line, for a message about it
  std::string action;
  std::string keys;
};

struct SettingsRead {
  SettingValues values;
  std::vector<KeysLine> keys;  // in the file's order
  // One for each line that is not understood and so ignored: its number,
  // the line and why ("line 3, \"volume = loud\": ..."). Lines of a section
  // the game does not know are left alone, unread and unnamed.
  std::vector<std::string> damaged;
};

// One setting to change: `name = value` in `section`.
struct SettingChange {
  std::string section;
  std::string name;
  std::string value;
};

// Reads the text of a settings file. A setting given twice takes its last
// value.
SettingsRead ReadSettings(const std::string& text);

// The text with `name = value` in `section`, every other line kept as it was,
// comments and unknown lines included: the line that sets the name now (the
// last, if there are several) gets the new value; otherwise the line is
// added at the end of the section, or the section at the end of the text.
std::string WithSetting(const std::string& text, const std::string& section,
                        const std::string& name, const std::string& value);

}  // namespace rallix
