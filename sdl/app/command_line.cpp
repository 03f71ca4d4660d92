#include "sdl/app/command_line.h"

#include "base/printable_text.h"
#include "generated/version.h"

namespace rallix {
namespace {

constexpr int kUsageError = 2;

// "1" to "8" as a number; nothing for anything else (signs, spaces, "02").
std::optional<int> ScaleOf(const std::string& text) {
  if (text.size() != 1 || text[0] < '1' || text[0] > '0' + kLargestScale)
    return std::nullopt;
  return text[0] - '0';
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
      window_options = true;
    } else if (argument == "--window") {
      parsed.options.fullscreen = false;
      window_options = true;
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
  return "usage: rallix [--scale N] [--fullscreen | --window] [--record FILE | --playdemo FILE]\n"
         "       rallix --timedemo FILE\n"
         "Plays Rallix, a paddle-and-ball game against the computer, in a window.\n"
         "\n"
         "      --scale N        a window N times 640 x 480 (N from 1 to 8; 1 unless given)\n"
         "      --fullscreen     start on the whole screen, the picture as large as fits\n"
         "      --window         start in a window (the default)\n"
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
         "Escape leaves full screen. While a demo plays, only these keys and closing the\n"
         "window do anything.\n";
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
