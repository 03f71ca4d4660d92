// The desktop game: the SDL platform running the game's Main.
//
// SDL.h renames main to SDL_main where a program starts elsewhere: on Windows
// SDL2main's WinMain calls it with the command line in UTF-8.
#include <SDL.h>

#include "game/mod_main.h"
#include "sdl/command_line.h"
#include "sdl/sdl_process.h"
#include "sdl/sdl_session.h"

int main(int argc, char** argv) {
  rallix::PrepareProcess();
  const rallix::ParsedCommandLine command = rallix::ParseCommandLine(argc, argv);
  if (const std::optional<int> status = rallix::AnswerWithoutPlaying(command))
    return *status;
  const rallix::DisplayOptions display{command.options.scale, command.options.fullscreen};
  return rallix::RunOnSdl(display,
                          [](rallix::SdlPlatform& platform) { return rallix::Main(platform); });
}
