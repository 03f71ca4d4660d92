#include "sdl/app/command_line.h"

#include "base/printable_text.h"
#include "generated/version.h"
#include "sdl/system/user_folders.h"

namespace rallix {
namespace {

constexpr int kUsageError = 2;

// "1" to "8" as a number; nothing for anything else (signs, spaces, "02").
std::optional<int> ScaleOf(const std::string& text) {
  if (text.size() != 1 || text[0] < '1' || text[0] > '0' + kLargestScale)
    return std::nullopt;
  return text[0] - '0';
}

// "0" to "100" as a number; nothing for anything else (signs, spaces, "050").
std::optional<int> VolumeOf(const std::string& text) {
  if (text.empty() || text.size() > 3 || (text.size() > 1 && text[0] == '0'))
    return std::nullopt;
  int volume = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    volume = 10 * volume + (c - '0');
  }
  return volume <= 100 ? std::optional<int>(volume) : std::nullopt;
}

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
std::optional<std::string> ValueOf(const std::vector<std::string>& arguments, size_t& i,
                                   const std::string& name) {
  if (arguments[i] != name)
    return arguments[i].substr(name.size() + 1);
  if (i + 1 == arguments.size())
    return std::nullopt;
  return arguments[++i];
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
    } else if (IsOptionWithValue(argument, "--volume")) {
      const std::optional<std::string> value = ValueOf(arguments, i, "--volume");
      const std::optional<int> volume = value ? VolumeOf(*value) : std::nullopt;
      if (!volume) {
        parsed.error =
            value ? "--volume takes a number from 0 to 100, not '" + PrintableText(*value) + "'"
                  : "--volume needs a number from 0 to 100";
        return parsed;
      }
      parsed.options.volume = volume;
    } else if (IsOptionWithValue(argument, "--screenshot-dir")) {
      const std::optional<std::string> folder = ValueOf(arguments, i, "--screenshot-dir");
      if (!folder || folder->empty()) {
        parsed.error = "--screenshot-dir needs a folder";
        return parsed;
      }
      parsed.options.screenshot_dir = *folder;
    } else if (IsOptionWithValue(argument, "--scale")) {
      const std::optional<std::string> value = ValueOf(arguments, i, "--scale");
      if (!value) {
        parsed.error = "--scale needs a number from 1 to " + std::to_string(kLargestScale);
        return parsed;
      }
      const std::optional<int> scale = ScaleOf(*value);
      if (!scale) {
        parsed.error = "--scale takes a number from 1 to " + std::to_string(kLargestScale) +
                       ", not '" + PrintableText(*value) + "'";
        return parsed;
      }
      parsed.options.scale = *scale;
      parsed.options.scale_given = true;
      window_options = true;
    } else if (const DemoOption* demo = DemoOptionOf(argument)) {
      const std::optional<std::string> file = ValueOf(arguments, i, demo->name);
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
  return "usage: rallix [--scale N] [--fullscreen | --window] [--volume N] [--screenshot-dir DIR]\n"
         "              [--no-settings] [--record FILE | --playdemo FILE]\n"
         "       rallix --timedemo FILE\n"
         "Plays Rallix, a paddle-and-ball game against the computer, in a window.\n"
         "\n"
         "      --scale N        a window N times 640 x 480 (N from 1 to 8; 1 unless given)\n"
         "      --fullscreen     start on the whole screen, the picture as large as fits\n"
         "      --window         start in a window (the default)\n"
         "      --volume N       the sound at N percent, from 0 to 100 (100 unless given)\n"
         "      --screenshot-dir DIR\n"
         "                       F12's pictures go into DIR (made when missing) instead of\n"
         "                       the Rallix folder in your pictures folder\n"
         "      --no-settings    neither read nor write the settings file\n"
         "      --record FILE    play as usual and record the whole run into the demo FILE\n"
         "      --playdemo FILE  show the run recorded in FILE at its pace, with its sounds\n"
         "      --timedemo FILE  replay it without a window as fast as it goes and print its\n"
         "                       passes, scores, time and the digest of its frames\n"
         "  -h, --help           print this help and exit\n"
         "      --version        print the version and exit\n"
         "\n"
         "In the game: Up, Down and Space work the menus, Left and Right move your paddle;\n"
         "a gamepad's D-pad or left stick and its A or Start button do the same.\n"
         "P pauses and goes on; Alt+Enter or F11 switches between window and full screen,\n"
         "Escape leaves full screen; F12 saves a picture of the game as a PNG file; M mutes\n"
         "and unmutes, - and = turn the sound down and up. While a demo plays, only these\n"
         "keys and closing the window do anything.\n"
         "\n"
         "The window's scale, full screen, the volume and mute, and your own keys live in\n" +
         SettingsFileAsNamed() +
         ", which the game writes when you change one while playing\n"
         "(options on the command line win for their run and are not kept). Its [keys]\n"
         "section binds left, right, up, down, space and pause to one or more of SDL's\n"
         "key names: down = Down S\n";
}

std::string VersionText() {
  return std::string("rallix ") + RALLIX_VERSION + "\n";
}

std::optional<int> AnswerWithoutPlaying(const ParsedCommandLine& command, std::FILE* out,
                                        std::FILE* err) {
  if (!command.Understood()) {
    Write(err, "rallix: " + command.error + "\n" + UsageText());
    return kUsageError;
  }
  if (command.options.show_help)
    return Write(out, UsageText()) ? 0 : 1;
  if (command.options.show_version)
    return Write(out, VersionText()) ? 0 : 1;
  return std::nullopt;
}

}  // namespace rallix
