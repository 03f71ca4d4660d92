#include "app/mod_main.h"

#include <exception>

#include "app/main_loop.h"
#include "game/form_main.h"
#include "game/run_time_error.h"

namespace rallix {

int32_t PointInRect(const PixelRect& rect, const PixelPoint& point) {
  return (rect.Left <= point.X && point.X <= rect.Right && rect.Top <= point.Y &&
          point.Y <= rect.Bottom)
             ? 1
             : 0;
}

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
