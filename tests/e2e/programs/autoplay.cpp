// rallix_autoplay: the game in its real window, whose rallies an autopilot
// plays; the menus and the waiting screens take the real keys. The pictures
// script (scripts/capture-pictures.py) drives it to a won stage.
#include <cstdio>
#include <exception>

#include "game/form_main.h"
#include "game/main_loop.h"
#include "sdl/app/run_game.h"
#include "tests/support/autoplay_platform.h"

int main() {
  return rallix::RunOnSdl([](rallix::SdlPlatform& sdl) {
    rallix::testing::AutoplayPlatform autoplay(sdl);
    try {
      rallix::FormMain form(autoplay);
      autoplay.Follow(form.Record);
      rallix::MainLoop loop(form, autoplay);
      loop.Run();
      return 0;
    } catch (const std::exception& error) {
      // No message box: nobody may be there to close it.
      std::fprintf(stderr, "rallix_autoplay: %s\n", error.what());
      return 1;
    }
  });
}
