// Records a game into a demo while it is played: a platform that passes
// every call on and keeps what the game read from the outside world that
// can change its play. Per pass of the frame loop that is whether the window
// was in front, every key snapshot (the five game keys) and every reading of
// the play clock, in order; and how the run ended. The loop's own clock
// readings, which only pace the passes, are not kept: the play clock is read
// through Platform::PlayClock, the loop's through TimeGetTime. A pass begins
// at its IsForeground call; its readings are the ones until the next.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "demo/demo.h"
#include "demo/encoder.h"
#include "game/forwarding_platform.h"

namespace rallix {

// Where a recorder's demo goes: a file, on the desktop.
class DemoSink {
 public:
  virtual ~DemoSink() = default;
  // The next piece of the demo: first its header, then one whole chunk at a
  // time, about one a second. A file writes and flushes each at once, so a
  // recorder that is killed leaves a demo that plays up to its last chunk.
  virtual void Append(const std::vector<uint8_t>& bytes) = 0;
  // The demo is complete: nothing more will be appended.
  virtual void Finish() = 0;
  // Whether the sink took RecordedDemoHeader() itself, before the game
  // started (a file, to refuse a place that cannot hold it before the window
  // opens): the recorder then begins with the first chunk.
  virtual bool HasHeader() const { return false; }
};

// The header of the demos this game records: its format and the game's
// version.
std::vector<uint8_t> RecordedDemoHeader();

class DemoRecorder : public ForwardingPlatform {
 public:
  // Appends the demo's header to the sink at once, unless it has it.
  DemoRecorder(Platform& inner, DemoSink& sink);

  bool ProcessMessages() override;
  bool IsForeground() override;
  void GetKeyboardState(KeySnapshot& keys) override;
  int32_t PlayClock() override;
  void PlaySoundSync(const std::string& file_name) override;

  // Once the game has ended: a run that did not end by a close (its game
  // ended by itself) gets its end, the last chunk goes to the sink, and the
  // sink is finished. Closes end the demo as they happen; a later call does
  // nothing.
  void Finish();

  // Whether the demo reached its limit (kMostDemoBytes, or a chunk beyond
  // kMostDemoChunkBytes) and stopped growing: it then ends early where it stopped.
  bool Full() const { return full_; }

 private:
  void EndPass();
  void WriteChunk();
  void EndWith(DemoEnd end);

  DemoSink& sink_;
  DemoEncoder encoder_;
  bool pass_open_ = false;
  bool in_front_ = false;
  std::vector<DemoRead> reads_;
  size_t bytes_written_ = 0;
  bool full_ = false;
  bool finished_ = false;
};

// Runs the game on `platform` as Main does, recording it into `sink`; the
// exit status is Main's.
int RecordGame(Platform& platform, DemoSink& sink);

}  // namespace rallix
