// The desktop game: the SDL platform running the game's Main.
#include "game/mod_main.h"
#include "sdl/sdl_session.h"

int main() {
  return rallix::RunOnSdl([](rallix::SdlPlatform& platform) { return rallix::Main(platform); });
}
