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
  const double target = kPassPeriodMilliseconds + start;
  if (!(target > platform_.TimeGetTime()))
    return;
  // The first whole millisecond at or after the target (the count wraps).
  const auto deadline =
      static_cast<int32_t>(static_cast<uint32_t>(start) + static_cast<uint32_t>(kPassMilliseconds));
  for (;;) {
    const int32_t t = platform_.TimeGetTime();
    if (t < start)
      return;  // the clock went backwards
    const int32_t now = platform_.TimeGetTime();
    if (!(target > now))
      return;
    // Instead of spinning on the clock, sleep to the deadline: one wake per
    // pass, after which the reading above ends the wait.
    platform_.SleepUntil(deadline);
  }
}

}  // namespace rallix
