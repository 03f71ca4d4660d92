#include "game/mod_main.h"

#include <exception>
#include <optional>

#include "base/run_time_error.h"
#include "game/main_loop.h"

namespace rallix {

int Main(Platform& platform) {
  std::optional<FormMain> form;
  try {
    form.emplace(platform);
  } catch (const std::exception& error) {
    // Loading failed (out of memory, a broken glyph sheet): the program ends
    // the same way as after a run-time error, with the reason shown.
    platform.ReportFatalError(error.what());
    return 1;
  }
  return RunLoadedGame(*form, platform);
}

int RunLoadedGame(FormMain& form, Platform& platform) {
  try {
    MainLoop loop(form, platform);
    loop.Run();
    return 0;
  } catch (const RunTimeError& error) {
    platform.ReportFatalError(error.what());
    return 1;
  } catch (const std::exception& error) {
    // Not one of the game's run-time errors: the program ends the same way.
    platform.ReportFatalError(error.what());
    return 1;
  }
}

}  // namespace rallix
