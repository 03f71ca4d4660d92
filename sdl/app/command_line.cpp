#include "sdl/app/command_line.h"

#include "base/printable_text.h"
#include "generated/version.h"
#include "sdl/settings/setting_rules.h"
#include "sdl/system/user_folders.h"

namespace rallix {
namespace {

constexpr int kUsageError = 2;

struct DemoOption {
  const char* name;
  DemoMode mode;
};
constexpr DemoOption kDemoOptions[] = {{"--record", DemoMode::kRecord},
                                       {"--playdemo", DemoMode::kPlay},
                                       {"--timedemo", DemoMode::kTime}};

// Whether `argument` is the option `name`, which takes a value: "--name
// VALUE" or "--name=VALUE".
bool IsOptionWithValue(const std::string& argument, const std::string& name) {
  return argument == name || argument.rfind(name + "=", 0) == 0;
}

// The value of the option `name` at arguments[i], joined to it or the next
// argument (then i moves on to it); nothing when there is no next argument.
std::optional<std::string> OptionValue(const std::vector<std::string>& arguments, size_t& i,
                                       const std::string& name) {
  if (arguments[i] != name)
    return arguments[i].substr(name.size() + 1);
  if (i + 1 == arguments.size())
    return std::nullopt;
  return arguments[++i];
}

// The setting given by a number that the option `argument` is (--scale,
// --volume), or null.
const SettingRule* NumberOptionOf(const std::string& argument) {
  for (const SettingRule& rule : kSettingRules) {
    if (!rule.true_or_false && *rule.option != '\0' && IsOptionWithValue(argument, rule.option))
      return &rule;
  }
  return nullptr;
}

// The demo option `argument` is, or nothing.
const DemoOption* DemoOptionOf(const std::string& argument) {
  for (const DemoOption& option : kDemoOptions) {
    if (IsOptionWithValue(argument, option.name))
      return &option;
  }
  return nullptr;
}

// Writes all of `text`; false when the stream refused it.
bool Write(std::FILE* stream, const std::string& text) {
  return std::fputs(text.c_str(), stream) >= 0 && std::fflush(stream) == 0;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  bool options_ended = false;
  bool window_options = false;  // --scale, --fullscreen or --window given
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (options_ended) {
      // The game takes no other arguments.
      parsed.error = "unexpected argument '" + PrintableText(argument) + "'";
      return parsed;
    }
    if (argument == "--") {
      options_ended = true;
    } else if (argument == "-h" || argument == "--help") {
      parsed.options.show_help = true;
    } else if (argument == "--version") {
      parsed.options.show_version = true;
    } else if (argument == "--fullscreen") {
      parsed.options.fullscreen = true;
      parsed.options.fullscreen_given = true;
      window_options = true;
    } else if (argument == "--window") {
      parsed.options.fullscreen = false;
      parsed.options.fullscreen_given = true;
      window_options = true;
    } else if (argument == "--no-settings") {
      parsed.options.no_settings = true;
    } else if (const SettingRule* rule = NumberOptionOf(argument)) {
      const std::optional<std::string> value = OptionValue(arguments, i, rule->option);
      const std::optional<int> number = value ? ValueOf(*rule, *value) : std::nullopt;
      if (!number) {
        parsed.error = std::string(rule->option) + (value ? " takes " : " needs ") +
                       ValuesTaken(*rule) + (value ? ", not '" + PrintableText(*value) + "'" : "");
        return parsed;
      }
      if (rule->setting == Setting::kScale) {
        parsed.options.scale = *number;
        parsed.options.scale_given = true;
        window_options = true;
      } else {
        parsed.options.volume = number;
      }
    } else if (IsOptionWithValue(argument, "--screenshot-dir")) {
      const std::optional<std::string> folder = OptionValue(arguments, i, "--screenshot-dir");
      if (!folder || folder->empty()) {
        parsed.error = "--screenshot-dir needs a folder";
        return parsed;
      }
      parsed.options.screenshot_dir = *folder;
    } else if (const DemoOption* demo = DemoOptionOf(argument)) {
      const std::optional<std::string> file = OptionValue(arguments, i, demo->name);
      if (!file || file->empty()) {
        parsed.error = std::string(demo->name) + " needs a file name";
        return parsed;
      }
      if (parsed.options.demo != DemoMode::kNone) {
        parsed.error = "only one of --record, --playdemo and --timedemo can be given";
        return parsed;
      }
      parsed.options.demo = demo->mode;
      parsed.options.demo_file = *file;
    } else {
      const bool option = argument.size() > 1 && argument[0] == '-';
      parsed.error =
          (option ? "unknown option '" : "unexpected argument '") + PrintableText(argument) + "'";
      return parsed;
    }
  }
  if (parsed.options.demo == DemoMode::kTime && window_options)
    parsed.error =
        "--timedemo opens no window: --scale, --fullscreen and --window do not go with it";
  return parsed;
}

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i)
    arguments.emplace_back(argv[i]);
  return ParseCommandLine(arguments);
}

std::string UsageText() {
  const SettingRule& scale = RuleOf(Setting::kScale);
  const SettingRule& volume = RuleOf(Setting::kVolume);
  const auto range = [](const SettingRule& rule) {
    return std::to_string(rule.least) + " to " + std::to_string(rule.most);
  };
  std::string settings;
  for (const SettingRule& rule : kSettingRules) {
    settings += std::string("\n  [") + rule.section + "] " + rule.name + " = " +
                (rule.true_or_false ? "true or false" : range(rule));
  }
  return "usage: rallix [--scale N] [--fullscreen | --window] [--volume N]\n"
         "              [--screenshot-dir DIR] [--no-settings]\n"
         "              [--record FILE | --playdemo FILE]\n"
         "       rallix --timedemo FILE\n"
         "Plays Rallix, a paddle-and-ball game against the computer, in a window.\n"
         "\n"
         "      --scale N        a window N times 640 x 480, N from " +
         range(scale) +
         "\n"
         "      --fullscreen     start on the whole screen, the picture as large as fits\n"
         "      --window         start in a window (the default)\n"
         "      --volume N       the volume, N percent from " +
         range(volume) +
         " (100 unless given)\n"
         "      --screenshot-dir DIR\n"
         "                       F12's pictures go into DIR (made when missing) instead\n"
         "                       of the Rallix folder in your pictures folder\n"
         "      --no-settings    neither read nor write the settings file\n"
         "      --record FILE    play as usual and record the whole run into the demo FILE\n"
         "      --playdemo FILE  show the run recorded in FILE, at its pace, with sounds\n"
         "      --timedemo FILE  replay it without a window as fast as it goes and print\n"
         "                       its passes, scores, time and the digest of its frames\n"
         "  -h, --help           print this help and exit\n"
         "      --version        print the version and exit\n"
         "\n"
         "In the game: Up, Down and Space work the menus, Left and Right move your\n"
         "paddle; a gamepad's D-pad or left stick and its A or Start button do the same.\n"
         "P pauses and goes on. Alt+Enter or F11 switches between window and full\n"
         "screen, Escape leaves full screen; F12 saves a picture of the game as a PNG\n"
         "file; M mutes and unmutes, - and = turn the sound down and up. While a demo\n"
         "plays, only these keys and closing the window do anything.\n"
         "\n"
         "The game keeps the settings you change while playing in\n  " +
         SettingsFileAsNamed() +
         "\n(options on the command line win for their run and are not kept):" + settings +
         "\n"
         "Its [keys] section binds left, right, up, down, space and pause to one or\n"
         "more of SDL's key names, as in: left = Left A\n";
}

std::string VersionText() {
  return std::string("rallix ") + RALLIX_VERSION + "\n";
}

std::optional<int> AnswerWithoutPlaying(const ParsedCommandLine& command, std::FILE* out,
                                        std::FILE* err) {
  if (!command.Understood()) {
    Write(err, "rallix: " + command.error + " (rallix --help lists the options)\n");
    return kUsageError;
  }
  if (command.options.show_help)
    return Write(out, UsageText()) ? 0 : 1;
  if (command.options.show_version)
    return Write(out, VersionText()) ? 0 : 1;
  return std::nullopt;
}

}  // namespace rallix
