// Replays a demo over another platform (the viewer's window, or the timed
// replay's machine): the demo's foreground, key snapshots and play clock
// readings stand in for the real ones, and the run ends as it ended when it
// was recorded. Everything else (the loop's clock and pacing, the messages,
// sounds and frames) goes to the viewer's platform.
//
// Each IsForeground call begins the demo's next pass. While the viewer's
// platform says its window is not in front (the viewer paused the replay, or
// looks elsewhere) the pass is held instead: it counts as not in front and
// takes nothing from the demo. When the game asks for a reading the demo
// does not hold at that point, or goes on where the recorded run ended, the
// replay is out of step and stops, and so it does where the demo ends early.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "demo/demo.h"
#include "game/forwarding_platform.h"

namespace rallix {

struct ReplayEnd {
  enum class Kind {
    kNone,        // the replay is still going
    kFinished,    // the run ended as the recorded one did
    kEndedEarly,  // the demo stops before its end: the game stopped there too
    kOutOfStep,   // the game and the demo went different ways
    kStopped,     // the viewer closed the window
  };
  Kind kind = Kind::kNone;
  int64_t pass = 0;     // the demo's pass it ended in or after, from 1
  std::string message;  // one line for the viewer
};

class DemoPlayer : public ForwardingPlatform {
 public:
  // `demo` must outlive the player.
  DemoPlayer(Platform& viewer, const Demo& demo) : ForwardingPlatform(viewer), demo_(demo) {}

  bool ProcessMessages() override;
  bool IsForeground() override;
  void GetKeyboardState(KeySnapshot& keys) override;
  int32_t PlayClock() override;
  void PlaySoundSync(const std::string& file_name) override;

  // Once the game has ended: how the replay went. A game that ended by
  // itself is checked against the demo's end here.
  const ReplayEnd& Finish();

  // The demo's passes replayed so far.
  int64_t Passes() const { return pass_; }

 private:
  // Whether the demo has a pass after the current one.
  bool MorePasses() const;
  // Where the current pass's next reading is in demo_.reads.
  size_t ReadIndex() const;
  // The current pass's next reading, which must be of `kind`; the replay
  // stops out of step when it is not.
  int32_t NextRead(DemoRead::Kind kind);
  // The ending due when the game goes on past the demo's last pass.
  void EndAfterLastPass();
  // Ends the replay (the first ending stays); Stop also ends the game at
  // once, through ProgramEnd.
  void End(ReplayEnd::Kind kind, const std::string& what);
  [[noreturn]] void Stop(ReplayEnd::Kind kind, const std::string& what);

  const Demo& demo_;
  size_t entry_ = 0;        // demo_.passes[entry_] holds the current pass
  uint32_t repeat_ = 0;     // passes of that entry begun
  uint32_t next_read_ = 0;  // of the current pass's readings
  bool in_pass_ = false;    // the current pass is one in front
  int64_t pass_ = 0;        // passes begun
  ReplayEnd end_;
};

// Runs the game on `viewer` as Main does, replaying `demo`; Main's exit
// status, and how the replay ended.
struct Replay {
  int status = 0;
  ReplayEnd end;
};
Replay PlayDemo(Platform& viewer, const Demo& demo);

}  // namespace rallix
