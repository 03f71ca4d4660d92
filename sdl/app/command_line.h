// The desktop game's command line: what it asks for, and the answers that
// end the program before any window opens.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace rallix {

// What is done with a demo file (demo/, docs/demo-format.md).
enum class DemoMode {
  kNone,
  kRecord,  // --record FILE: play as usual, and record the run into FILE
  kPlay,    // --playdemo FILE: show the recorded run in the window
  kTime,    // --timedemo FILE: replay it headless as fast as it goes
};

// What the command line asks for. With no arguments the game simply plays.
struct CommandLineOptions {
  bool show_help = false;
  bool show_version = false;
  // How the picture is shown: a window of `scale` times 640 x 480 (up to
  // kLargestScale), or the whole screen. The last of --fullscreen and --window wins.
  // What is given here wins over the settings file for this run.
  int scale = 1;
  bool fullscreen = false;
  bool scale_given = false;
  bool fullscreen_given = false;  // --fullscreen or --window
  // --volume N, 0 to 100 (sdl/settings/setting_rules.h has each option's values).
  std::optional<int> volume;
  // --screenshot-dir DIR: where F12's pictures go instead.
  std::string screenshot_dir;
  // --no-settings: the settings file is neither read nor written.
  bool no_settings = false;
  // One of --record, --playdemo and --timedemo at most, with its file.
  DemoMode demo = DemoMode::kNone;
  std::string demo_file;
};

// The options understood, or why the command line was not understood.
struct ParsedCommandLine {
  CommandLineOptions options;
  std::string error;  // empty when every argument was understood
  bool Understood() const { return error.empty(); }
};

// Reads the arguments that follow the program's name. Prints nothing. "--"
// ends the options; the game takes no other arguments, so anything after it
// is refused too. A second demo option is refused, and so are the window's
// options with --timedemo, which opens none. An argument quoted in an error is shown escaped and
// cut short (base/printable_text.h).
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);
ParsedCommandLine ParseCommandLine(int argc, const char* const* argv);

// "usage: rallix ..." and the options, one per line.
std::string UsageText();
// "rallix 1.1.0", the version this program was built as, with its newline.
std::string VersionText();

// The exit status when the command line ends the program before it plays:
// help on `out` (0), the version on `out` (0), or the error in one line on
// `err`, pointing to --help (2). Nothing when the game should play. A failed write gives 1.
std::optional<int> AnswerWithoutPlaying(const ParsedCommandLine& command, std::FILE* out = stdout,
                                        std::FILE* err = stderr);

}  // namespace rallix
