// The desktop game: the SDL platform running the game's Main.
#include "app/mod_main.h"
#include "app/sdl_session.h"

int main() {
  return rallix::RunOnSdl([](rallix::SdlPlatform& platform) { return rallix::Main(platform); });
}
