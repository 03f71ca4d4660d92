#include "game/mod_main.h"

#include <exception>

#include "base/run_time_error.h"
#include "game/form_main.h"
#include "game/main_loop.h"

namespace rallix {

int Main(Platform& platform) {
  try {
    FormMain form(platform);
    MainLoop loop(form, platform);
    loop.Run();
    return 0;
  } catch (const RunTimeError& error) {
    platform.ReportFatalError(error.what());
    return 1;
  } catch (const std::exception& error) {
    // Not one of the game's run-time errors (out of memory, a broken glyph
    // sheet): the program ends the same way, with the reason shown.
    platform.ReportFatalError(error.what());
    return 1;
  }
}

}  // namespace rallix
