#include "demo/player.h"

#include "base/run_time_error.h"
#include "demo/format.h"
#include "game/mod_main.h"

namespace rallix {
namespace {

const char* ReadName(DemoRead::Kind kind) {
  return kind == DemoRead::Kind::kKeys ? "the keys" : "the clock";
}

}  // namespace

bool DemoPlayer::ProcessMessages() {
  if (!Inner().ProcessMessages()) {
    End(ReplayEnd::Kind::kStopped, "the replay was stopped");
    return false;
  }
  if (in_pass_ && next_read_ < demo_.passes[entry_].read_count) {
    End(ReplayEnd::Kind::kOutOfStep, "the game did not read " +
                                         std::string(ReadName(demo_.reads[ReadIndex()].kind)) +
                                         " where the demo holds it");
    return false;
  }
  if (!MorePasses()) {
    EndAfterLastPass();
    return false;
  }
  return true;
}

bool DemoPlayer::IsForeground() {
  in_pass_ = false;
  if (!Inner().IsForeground())
    return false;  // held: the demo waits
  if (!MorePasses()) {
    EndAfterLastPass();
    throw ProgramEnd{};
  }
  if (entry_ < demo_.passes.size() && repeat_ < demo_.passes[entry_].count) {
    ++repeat_;
  } else {
    do {
      ++entry_;
    } while (demo_.passes[entry_].count == 0);
    repeat_ = 1;
  }
  ++pass_;
  next_read_ = 0;
  in_pass_ = demo_.passes[entry_].in_front;
  return in_pass_;
}

void DemoPlayer::GetKeyboardState(KeySnapshot& keys) {
  SetDemoKeys(static_cast<uint8_t>(NextRead(DemoRead::Kind::kKeys)), keys);
}

int32_t DemoPlayer::PlayClock() {
  return NextRead(DemoRead::Kind::kClock);
}

void DemoPlayer::PlaySoundSync(const std::string& file_name) {
  if (in_pass_ && demo_.end == DemoEnd::kClosedInSound && !MorePasses() &&
      next_read_ == demo_.passes[entry_].read_count) {
    Stop(ReplayEnd::Kind::kFinished, "the window was closed during a sound");
  }
  try {
    Inner().PlaySoundSync(file_name);
  } catch (const ProgramEnd&) {
    End(ReplayEnd::Kind::kStopped, "the replay was stopped");
    throw;
  }
}

const ReplayEnd& DemoPlayer::Finish() {
  if (end_.kind != ReplayEnd::Kind::kNone)
    return end_;
  // The game ended by itself.
  const bool pass_done = !in_pass_ || next_read_ == demo_.passes[entry_].read_count;
  if (pass_done && !MorePasses() && demo_.end == DemoEnd::kGameEnded)
    End(ReplayEnd::Kind::kFinished, "the game ended by itself");
  else if (pass_done && !MorePasses() && demo_.end == DemoEnd::kNone)
    EndAfterLastPass();
  else
    End(ReplayEnd::Kind::kOutOfStep, "the game ended by itself where the demo goes on");
  return end_;
}

bool DemoPlayer::MorePasses() const {
  if (pass_ > 0 && repeat_ < demo_.passes[entry_].count)
    return true;
  for (size_t e = pass_ > 0 ? entry_ + 1 : 0; e < demo_.passes.size(); ++e) {
    if (demo_.passes[e].count > 0)
      return true;
  }
  return false;
}

size_t DemoPlayer::ReadIndex() const {
  return size_t{demo_.passes[entry_].first_read} + next_read_;
}

int32_t DemoPlayer::NextRead(DemoRead::Kind kind) {
  const std::string what = "the game read " + std::string(ReadName(kind));
  if (!in_pass_ || next_read_ >= demo_.passes[entry_].read_count)
    Stop(ReplayEnd::Kind::kOutOfStep, what + " where the demo holds no reading");
  if (ReadIndex() >= demo_.reads.size())
    Stop(ReplayEnd::Kind::kOutOfStep, what + " where the demo's readings have run out");
  const DemoRead& read = demo_.reads[ReadIndex()];
  if (read.kind != kind) {
    Stop(ReplayEnd::Kind::kOutOfStep,
         what + " where the demo holds a reading of " + ReadName(read.kind));
  }
  ++next_read_;
  return read.value;
}

void DemoPlayer::EndAfterLastPass() {
  switch (demo_.end) {
    case DemoEnd::kNone:
      End(ReplayEnd::Kind::kEndedEarly, "the demo ends early, after this pass");
      break;
    case DemoEnd::kClosed:
      End(ReplayEnd::Kind::kFinished, "the window was closed after this pass");
      break;
    case DemoEnd::kClosedInSound:
      End(ReplayEnd::Kind::kOutOfStep,
          "the recorded window was closed during a sound the game did not play");
      break;
    case DemoEnd::kGameEnded:
      End(ReplayEnd::Kind::kOutOfStep, "the recorded game ended by itself, this one went on");
      break;
  }
}

void DemoPlayer::End(ReplayEnd::Kind kind, const std::string& what) {
  if (end_.kind != ReplayEnd::Kind::kNone)
    return;
  end_.kind = kind;
  end_.pass = pass_;
  end_.message = "pass " + std::to_string(pass_) + ": " + what;
}

void DemoPlayer::Stop(ReplayEnd::Kind kind, const std::string& what) {
  End(kind, what);
  throw ProgramEnd{};
}

Replay PlayDemo(Platform& viewer, const Demo& demo) {
  DemoPlayer player(viewer, demo);
  Replay replay;
  replay.status = Main(player);
  replay.end = player.Finish();
  return replay;
}

}  // namespace rallix
