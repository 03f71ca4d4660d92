#include "sdl/command_line.h"

#include "base/printable_text.h"

namespace rallix {
namespace {

constexpr int kUsageError = 2;

// "1" to "8" as a number; nothing for anything else (signs, spaces, "02").
std::optional<int> ScaleOf(const std::string& text) {
  if (text.size() != 1 || text[0] < '1' || text[0] > '0' + kLargestScale)
    return std::nullopt;
  return text[0] - '0';
}

// Writes all of `text`; false when the stream refused it.
bool Write(std::FILE* stream, const std::string& text) {
  return std::fputs(text.c_str(), stream) >= 0 && std::fflush(stream) == 0;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  bool options_ended = false;
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
    } else if (argument == "--window") {
      parsed.options.fullscreen = false;
    } else if (argument == "--scale" || argument.rfind("--scale=", 0) == 0) {
      const bool joined = argument != "--scale";
      if (!joined && i + 1 == arguments.size()) {
        parsed.error = "--scale needs a number from 1 to " + std::to_string(kLargestScale);
        return parsed;
      }
      const std::string value = joined ? argument.substr(8) : arguments[++i];
      const std::optional<int> scale = ScaleOf(value);
      if (!scale) {
        parsed.error = "--scale takes a number from 1 to " + std::to_string(kLargestScale) +
                       ", not '" + PrintableText(value) + "'";
        return parsed;
      }
      parsed.options.scale = *scale;
    } else {
      const bool option = argument.size() > 1 && argument[0] == '-';
      parsed.error =
          (option ? "unknown option '" : "unexpected argument '") + PrintableText(argument) + "'";
      return parsed;
    }
  }
  return parsed;
}

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i)
    arguments.emplace_back(argv[i]);
  return ParseCommandLine(arguments);
}

std::string UsageText() {
  return "usage: rallix [--scale N] [--fullscreen | --window] [--help] [--version]\n"
         "Plays Rallix, a paddle-and-ball game against the computer, in a window.\n"
         "\n"
         "      --scale N     a window N times 640 x 480 (N from 1 to 8; 1 unless given)\n"
         "      --fullscreen  start on the whole screen, the picture as large as fits\n"
         "      --window      start in a window (the default)\n"
         "  -h, --help        print this help and exit\n"
         "      --version     print the version and exit\n"
         "\n"
         "In the game: Up, Down and Space work the menus, Left and Right move your paddle;\n"
         "a gamepad's D-pad or left stick and its A or Start button do the same.\n"
         "P pauses and goes on; Alt+Enter or F11 switches between window and full screen,\n"
         "Escape leaves full screen.\n";
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
