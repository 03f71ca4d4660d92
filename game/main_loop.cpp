#include "game/main_loop.h"

#include "base/run_time_error.h"

namespace rallix {

LoopEnd MainLoop::Run(int64_t max_passes) {
  for (int64_t run = 0; max_passes < 0 || run < max_passes; ++run) {
    bool going_on = true;
    try {
      going_on = Pass();
    } catch (const RunTimeError&) {
      if (!trap_armed_)
        throw;
      // The loop's one trap: the rest of this pass is abandoned, and the next
      // error goes through.
      trap_armed_ = false;
      trap_spent_ = true;
    } catch (const ProgramEnd&) {
      going_on = false;
    }
    ++passes_;
    if (!going_on)
      return LoopEnd::kClosed;
  }
  return LoopEnd::kLimit;
}

bool MainLoop::Pass() {
  const int32_t start = platform_.TimeGetTime();
  if (!platform_.ProcessMessages())
    return false;
  if (platform_.IsForeground()) {
    form_.RunStateHandler();
    form_.RenderFrame();
  }
  if (!trap_spent_)
    trap_armed_ = true;
  PacingWait(start);
  return true;
}

void MainLoop::PacingWait(int32_t start) {
  const double target = 1000.0 / 60.0 + start;
  if (!(target > platform_.TimeGetTime()))
    return;
  for (;;) {
    const int32_t t = platform_.TimeGetTime();
    if (t < start)
      return;  // the clock went backwards
    const int32_t now = platform_.TimeGetTime();
    if (!(target > now))
      return;
    // Instead of spinning on the clock, sleep: once to just before the
    // deadline, then in short naps until the millisecond clock reaches it.
    const double remaining = target - now;
    platform_.Nap(remaining > 2.0 ? remaining - 1.5 : 0.1);
  }
}

}  // namespace rallix
