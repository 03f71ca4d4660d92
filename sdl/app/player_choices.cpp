#include "sdl/app/player_choices.h"

#include <memory>

#include "sdl/settings/settings_keeper.h"
#include "sdl/system/files.h"
#include "sdl/system/user_folders.h"

namespace rallix {

SettingsFile PlayersSettingsFile() {
  const std::string folder = SettingsFolder();
  return SettingsFile(folder, folder.empty() ? "" : JoinPath(folder, "settings.ini"));
}

PlayerChoices ChoicesFor(const CommandLineOptions& options, SettingsFile* file) {
  PlayerChoices choices;
  if (file != nullptr && !file->Path().empty()) {
    const SettingsRead read = file->Load();
    choices.display.scale = read.values.scale.value_or(choices.display.scale);
    if (read.values.scale)
      choices.scale_file = file->Path();
    choices.display.fullscreen = read.values.fullscreen.value_or(choices.display.fullscreen);
    choices.volume = read.values.volume.value_or(choices.volume);
    choices.muted = read.values.mute.value_or(choices.muted);
    for (const std::string& problem : choices.keys.Take(read.keys))
      file->SayIgnored(problem);
  }
  if (file != nullptr) {
    // Nowhere to keep them: the first change says so.
    const std::shared_ptr<SettingsKeeper> keeper =
        file->Path().empty() ? nullptr : std::make_shared<SettingsKeeper>(*file);
    const auto nowhere = std::make_shared<bool>(false);
    const bool fullscreen_given = options.fullscreen_given;
    const bool volume_given = options.volume.has_value();
    choices.keep = [keeper, nowhere, say = *file, fullscreen_given, volume_given](Setting setting,
                                                                                  int value) {
      if ((setting == Setting::kFullscreen && fullscreen_given) ||
          (setting == Setting::kVolume && volume_given))
        return;
      const SettingRule& rule = RuleOf(setting);
      if (keeper) {
        keeper->Keep({rule.section, rule.name, ValueText(rule, value)});
      } else if (!*nowhere) {
        *nowhere = true;
        say.Say("rallix: the settings are not kept: the system names no place for " +
                SettingsFileAsNamed());
      }
    };
  }
  if (options.scale_given) {
    choices.display.scale = options.scale;
    choices.scale_file.clear();
  }
  if (options.fullscreen_given)
    choices.display.fullscreen = options.fullscreen;
  choices.volume = options.volume.value_or(choices.volume);
  const std::string pictures = PicturesFolder();
  choices.screenshot_folder = !options.screenshot_dir.empty() ? options.screenshot_dir
                              : pictures.empty()              ? ""
                                                              : JoinPath(pictures, "Rallix");
  return choices;
}

}  // namespace rallix
