// The desktop game: the SDL platform running the game's Main, or with a
// demo: recording the game, showing a recorded run, or timing its replay.
//
// SDL.h renames main to SDL_main where a program starts elsewhere: on Windows
// SDL2main's WinMain calls it with the command line in UTF-8.
#include <SDL.h>

#include "game/mod_main.h"
#include "sdl/app/command_line.h"
#include "sdl/app/demo_runs.h"
#include "sdl/app/run_game.h"
#include "sdl/system/process.h"

int main(int argc, char** argv) {
  rallix::PrepareProcess();
  const rallix::ParsedCommandLine command = rallix::ParseCommandLine(argc, argv);
  if (const std::optional<int> status = rallix::AnswerWithoutPlaying(command))
    return *status;
  const rallix::CommandLineOptions& options = command.options;
  const rallix::DisplayOptions display{options.scale, options.fullscreen};
  switch (options.demo) {
    case rallix::DemoMode::kRecord:
      return rallix::RecordOnSdl(display, options.demo_file);
    case rallix::DemoMode::kPlay:
      return rallix::PlayDemoOnSdl(display, options.demo_file);
    case rallix::DemoMode::kTime:
      return rallix::TimeDemo(options.demo_file);
    case rallix::DemoMode::kNone:
      break;
  }
  return rallix::RunOnSdl(display,
                          [](rallix::SdlPlatform& platform) { return rallix::Main(platform); });
}
