// Demos for the tests and the benchmarks: a sink that keeps the bytes, a
// platform that digests every frame it is shown, a short scripted game and a
// whole game an autopilot wins.
#pragma once

#include <cstdint>
#include <vector>

#include "demo/frame_digest.h"
#include "demo/recorder.h"
#include "tests/support/scripted_platform.h"

namespace rallix::testing {

class BytesSink : public DemoSink {
 public:
  void Append(const std::vector<uint8_t>& piece) override;
  void Finish() override { finished = true; }

  std::vector<uint8_t> bytes;
  std::vector<size_t> piece_ends;  // where the header and each chunk end
  bool finished = false;
};

// A scripted platform that also takes every frame into a digest, compared
// whole with the one before: the second way to the digest a timed replay
// makes with the compositor's help. It keeps no frame (last_frame stays
// empty): a copy of each would take most of a long run's time under the
// sanitizers.
class DigestingPlatform : public ScriptedPlatform {
 public:
  void Present(const Surface& frame) override;
  FrameDigest digest;
};

struct Recording {
  BytesSink sink;
  uint64_t digest = 0;  // of the frames shown while it was recorded
  int64_t passes = 0;   // passes of the frame loop, the one that ended it too
  int status = 0;       // Main's exit status
  int32_t score = 0;    // Score and HiScore as the run left them
  int32_t hi_score = 0;
};

// The title for ten passes, "GAME START", and rallies in which the paddle
// follows the ball a column or two behind (the window in the background for
// passes 100 to 129): hits, bounces off the walls and the player's points,
// until the window is closed during the third synchronous sound, the second
// point's "pipopin.WAV" (or, should that never come, at pass 5000).
Recording RecordScriptedGame();

// A whole game from the title, its rallies played by an Autopilot, won to
// "YOU ARE CHAMPION" and closed back on the title: a few thousand passes, or
// for a long game (SET COUNT 10, BALL SPEED 4, an autopilot that does not
// aim) tens of thousands.
Recording RecordChampionGame(bool long_game);

// "GAME START", and an Autopilot that wins two points and then lets the
// computer win the stage: "GAME OVER", Space, and "QUIT GAME" on the title.
Recording RecordLostGame();

// The window leaves the front (another window takes the keyboard, or P
// pauses the game) on the title, in a rally and as the player scores, while
// an Autopilot plays; the window is closed during the third synchronous
// sound.
Recording RecordFocusGame();

}  // namespace rallix::testing
