// The frame loop and the program's start.
#pragma once

#include <cstdint>

#include "game/form_main.h"
#include "game/platform.h"

namespace rallix {

// A pass lasts 1000/60 ms; its wait ends at the first whole millisecond at
// or after that, 17 ms after the pass began on the millisecond clock.
constexpr double kPassPeriodMilliseconds = 1000.0 / 60.0;
constexpr int32_t kPassMilliseconds = static_cast<int32_t>(kPassPeriodMilliseconds) + 1;
static_assert(kPassMilliseconds - 1 < kPassPeriodMilliseconds &&
              kPassMilliseconds >= kPassPeriodMilliseconds);

// Where the loop is: the passes run and its one error trap, armed after the
// first pass and spent by the first error it traps.
struct LoopState {
  int64_t passes;
  bool trap_armed;
  bool trap_spent;
};

// What ended the loop.
enum class LoopEnd {
  kClosed,  // the window was closed or "QUIT GAME" chosen
  kLimit,   // the pass limit given to Run was reached
};

// Runs passes of the frame loop. Each pass reads the clock, processes the
// window's messages, runs the current state's handler and composes the frame
// while the window is in the foreground, and waits until 1000/60 ms have
// passed since the pass began. A run-time error that the loop does not trap
// leaves it as a RunTimeError exception.
class MainLoop {
 public:
  MainLoop(FormMain& form, Platform& platform) : form_(form), platform_(platform) {}

  // Runs until the program ends, or for at most `max_passes` more passes when
  // it is not negative (for tests and tools); a later call goes on where this
  // one stopped.
  LoopEnd Run(int64_t max_passes = -1);

  int64_t Passes() const { return passes_; }
  bool TrapArmed() const { return trap_armed_; }
  bool TrapSpent() const { return trap_spent_; }
  LoopState State() const { return {passes_, trap_armed_, trap_spent_}; }
  // Puts the loop back where a saved game had it, for a platform that loads
  // saved states.
  void Restore(const LoopState& state) {
    passes_ = state.passes;
    trap_armed_ = state.trap_armed;
    trap_spent_ = state.trap_spent;
  }

 private:
  // One pass; false when the program ends.
  bool Pass();
  void PacingWait(int32_t start);

  FormMain& form_;
  Platform& platform_;
  bool trap_armed_ = false;
  bool trap_spent_ = false;
  int64_t passes_ = 0;
};

}  // namespace rallix
