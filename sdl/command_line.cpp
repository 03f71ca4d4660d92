#include "sdl/command_line.h"

namespace rallix {
namespace {

constexpr int kUsageError = 2;

// Writes all of `text`; false when the stream refused it.
bool Write(std::FILE* stream, const std::string& text) {
  return std::fputs(text.c_str(), stream) >= 0 && std::fflush(stream) == 0;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  for (const std::string& argument : arguments) {
    if (argument == "-h" || argument == "--help") {
      parsed.options.show_help = true;
    } else if (argument == "--version") {
      parsed.options.show_version = true;
    } else {
      const bool option = argument.size() > 1 && argument[0] == '-';
      parsed.error = (option ? "unknown option '" : "unexpected argument '") + argument + "'";
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
  return "usage: rallix [--help] [--version]\n"
         "Plays Rallix, a paddle-and-ball game against the computer, in a window.\n"
         "\n"
         "  -h, --help     print this help and exit\n"
         "      --version  print the version and exit\n"
         "\n"
         "In the game: Up, Down and Space work the menus, Left and Right move your paddle.\n";
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
