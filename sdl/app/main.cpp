// The desktop game: the SDL platform running the game's Main with the
// player's choices, or with a demo: recording the game, showing a recorded
// run, or timing its replay.
//
// SDL.h renames main to SDL_main where a program starts elsewhere: on Windows
// SDL2main's WinMain calls it with the command line in UTF-8.
#include <SDL.h>

#include "game/mod_main.h"
#include "sdl/app/command_line.h"
#include "sdl/app/demo_runs.h"
#include "sdl/app/player_choices.h"
#include "sdl/app/run_game.h"
#include "sdl/system/process.h"

int main(int argc, char** argv) {
  rallix::PrepareProcess();
  const rallix::ParsedCommandLine command = rallix::ParseCommandLine(argc, argv);
  if (const std::optional<int> status = rallix::AnswerWithoutPlaying(command))
    return *status;
  const rallix::CommandLineOptions& options = command.options;
  if (options.demo == rallix::DemoMode::kTime)
    return rallix::TimeDemo(options.demo_file);
  // The player's settings, read before the window opens and kept until the
  // game has ended; none with --no-settings.
  rallix::SettingsFile settings = rallix::PlayersSettingsFile();
  const rallix::PlayerChoices choices =
      rallix::ChoicesFor(options, options.no_settings ? nullptr : &settings);
  switch (options.demo) {
    case rallix::DemoMode::kRecord:
      return rallix::RecordOnSdl(choices, options.demo_file);
    case rallix::DemoMode::kPlay:
      return rallix::PlayDemoOnSdl(choices, options.demo_file);
    case rallix::DemoMode::kTime:
    case rallix::DemoMode::kNone:
      break;
  }
  return rallix::RunOnSdl(choices,
                          [](rallix::SdlPlatform& platform) { return rallix::Main(platform); });
}
