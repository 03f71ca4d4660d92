// A platform that passes everything on to another one, except that chosen
// key snapshots or frame presentations raise a run-time error instead: the
// errors a broken game would raise, made on purpose in the real window. It
// can also keep the game in the background, as if another window had the
// keyboard, so that a state that lasts one frame stays as it is.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>

#include "game/forwarding_platform.h"

namespace rallix::e2e {

struct FaultPlan {
  // 1 is the first call of its kind in the run.
  std::set<int64_t> failing_snapshots;      // calls of GetKeyboardState
  std::set<int64_t> failing_presentations;  // calls of Present
  bool background = false;                  // the window is never the foreground window
};

class FaultyPlatform : public ForwardingPlatform {
 public:
  FaultyPlatform(Platform& inner, FaultPlan plan)
      : ForwardingPlatform(inner), plan_(std::move(plan)) {}

  bool ProcessMessages() override;
  bool IsForeground() override { return !plan_.background && Inner().IsForeground(); }
  // The snapshot is taken; a failing call then raises the overflow error.
  void GetKeyboardState(KeySnapshot& keys) override;
  // A failing call raises the subscript error before anything is shown.
  void Present(const Surface& frame) override;

  int64_t Passes() const { return passes_; }
  int64_t Snapshots() const { return snapshots_; }
  int64_t Presentations() const { return presentations_; }
  int64_t ErrorsRaised() const { return errors_raised_; }

 private:
  FaultPlan plan_;
  int64_t passes_ = 0;
  int64_t snapshots_ = 0;
  int64_t presentations_ = 0;
  int64_t errors_raised_ = 0;
};

// "3,40,41" as a set of call numbers; false for anything else.
bool ParseCallNumbers(const std::string& text, std::set<int64_t>& numbers);

}  // namespace rallix::e2e
