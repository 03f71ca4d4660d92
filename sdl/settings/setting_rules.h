// The settings a player may keep, one row each: where it sits in the
// settings file, the values it takes and the command-line option that gives
// it for one run. The command line, the settings file and the help all read
// this table, so a value is taken or refused alike wherever it is written.
#pragma once

#include <optional>
#include <string>

namespace rallix {

// The largest window: 8 times 640 x 480.
constexpr int kLargestScale = 8;

enum class Setting { kScale, kFullscreen, kVolume, kMute };

struct SettingRule {
  Setting setting;
  const char* section;  // in the settings file, in lower case
  const char* name;
  // true or false, or else a whole number from `least` to `most`
  bool true_or_false;
  int least;
  int most;
  const char* option;  // on the command line; empty when it has none
};

inline constexpr SettingRule kSettingRules[] = {
    {Setting::kScale, "display", "scale", false, 1, kLargestScale, "--scale"},
    {Setting::kFullscreen, "display", "fullscreen", true, 0, 1, "--fullscreen"},
    {Setting::kVolume, "sound", "volume", false, 0, 100, "--volume"},
    {Setting::kMute, "sound", "mute", true, 0, 1, ""},
};

const SettingRule& RuleOf(Setting setting);

// The setting `name` of `section` (both in lower case); null when there is
// none.
const SettingRule* SettingNamed(const std::string& section, const std::string& name);

// Whether the settings file has a section of this name (in lower case).
bool IsSettingsSection(const std::string& section);

// The value the text gives the setting, 1 and 0 for true and false (in any
// case); nothing when it gives none. A number is plain digits, with no sign
// or space ("050" is 50).
std::optional<int> ValueOf(const SettingRule& rule, const std::string& text);

// The value as the settings file writes it: "true", "false", "50".
std::string ValueText(const SettingRule& rule, int value);

// What the setting takes: "true or false", "a whole number from 1 to 8".
std::string ValuesTaken(const SettingRule& rule);

}  // namespace rallix
