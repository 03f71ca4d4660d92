#include "demo/timed_replay.h"

#include <cstdio>

#include "demo/frame_digest.h"
#include "game/form_main.h"
#include "game/mod_main.h"

namespace rallix {
namespace {

// The machine a timed replay runs on. Its clock stands still but for the
// loop's pacing wait, which it moves on to the deadline at once; the demo's
// player stands in for the keys, the play clock and the window's focus.
class TimedMachine : public Platform {
 public:
  // The pictures whose PictureMain each Present shows.
  void Follow(const Compositor& pictures) { pictures_ = &pictures; }

  int32_t TimeGetTime() override { return now_; }
  bool ProcessMessages() override { return true; }
  bool IsForeground() override { return true; }
  void GetKeyboardState(KeySnapshot& keys) override { keys.fill(0); }
  void PlaySoundAsync(const std::string&) override {}
  void PlaySoundSync(const std::string&) override {}
  void StopSound() override {}
  void Present(const Surface& frame) override {
    if (pictures_ != nullptr && &frame == &pictures_->PictureMain)
      digest_.Add(*pictures_);
    else
      digest_.Add(frame);
  }
  void SleepUntil(int32_t deadline) override {
    if (static_cast<int32_t>(static_cast<uint32_t>(deadline) - static_cast<uint32_t>(now_)) > 0)
      now_ = deadline;
  }
  void ReportFatalError(const std::string& message) override { error_ = message; }

  const FrameDigest& Digest() const { return digest_; }
  const std::string& Error() const { return error_; }

 private:
  const Compositor* pictures_ = nullptr;
  int32_t now_ = 0;
  FrameDigest digest_;
  std::string error_;
};

}  // namespace

TimedReplay RunTimedReplay(const Demo& demo) {
  TimedMachine machine;
  DemoPlayer player(machine, demo);
  TimedReplay replay;
  {
    FormMain form(player);
    machine.Follow(form.Pictures);
    replay.status = RunLoadedGame(form, player);
    replay.score = form.Record.Score;
    replay.hi_score = form.Record.HiScore;
  }
  replay.end = player.Finish();
  replay.passes = player.Passes();
  replay.frames = machine.Digest().Frames();
  replay.digest = machine.Digest().Value();
  replay.error = machine.Error();
  return replay;
}

std::string TimedReplayLine(const TimedReplay& replay, double seconds) {
  char line[160];
  std::snprintf(line, sizeof line, "%lld passes, score %ld, high score %ld, %.3f s, digest %016llX",
                static_cast<long long>(replay.passes), static_cast<long>(replay.score),
                static_cast<long>(replay.hi_score), seconds,
                static_cast<unsigned long long>(replay.digest));
  std::string text = line;
  if (replay.end.kind != ReplayEnd::Kind::kFinished)
    text += " (" + replay.end.message + ")";
  return text;
}

}  // namespace rallix
