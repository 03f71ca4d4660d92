// The timed replay of a demo: the game replayed headless as fast as it runs,
// through Main's frame loop, on a machine whose clock moves only when the
// loop waits (so the pacing never holds it up), whose sounds, synchronous
// ones too, return at once and whose frames go only into a digest. The
// caller measures the time it takes.
#pragma once

#include <cstdint>
#include <string>

#include "demo/demo.h"
#include "demo/player.h"

namespace rallix {

struct TimedReplay {
  int64_t passes = 0;  // the demo's passes replayed
  int32_t score = 0;   // Score and HiScore as the game left them
  int32_t hi_score = 0;
  int64_t frames = 0;   // frames presented
  uint64_t digest = 0;  // of every frame presented (demo/frame_digest.h)
  int status = 0;       // Main's exit status
  std::string error;    // the report of a run-time error that ended the game
  ReplayEnd end;        // how the replay ended
};

TimedReplay RunTimedReplay(const Demo& demo);

// The one line a timed replay prints: "12345 passes, score 5300, high score
// 30000, 0.412 s, digest 0123456789ABCDEF", and how the replay ended when it
// did not end as the recorded run did.
std::string TimedReplayLine(const TimedReplay& replay, double seconds);

}  // namespace rallix
