// A game stopped in the middle of a rally, for driving the rally frame by
// frame, and reference numbers for the rally's tests worked out here from
// first principles rather than taken from the game.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/form_main.h"
#include "game/random_source.h"
#include "tests/support/scripted_platform.h"

namespace rallix::testing {

// A scripted platform with a game on it: a new game has been set up and the
// ball served, so the court is drawn, the State is the rally's and the
// paddles stand at their serve columns.
class RallyCourt {
 public:
  RallyCourt();
  RallyCourt(const RallyCourt&) = delete;
  RallyCourt& operator=(const RallyCourt&) = delete;

  ScriptedPlatform platform;
  FormMain form;
  GameRecord& record() { return form.Record; }

  // Puts the ball's centre at (x, y) with the velocity (vx, vy).
  void PlaceBall(double x, double y, double vx, double vy);
  // One rally frame, then the queues are emptied as the frame's render would.
  void Frame();
  // The sounds played since the last call (stops included).
  std::vector<SoundEvent> NewSounds();
  // How many "pon.WAV" were played since the last call of NewSounds.
  int NewHits();

 private:
  size_t sounds_seen_ = 0;
};

// A velocity in pixels per frame.
struct Velocity {
  double vx = 0;
  double vy = 0;
};

// A direction in whole degrees (0 up, 90 left, 180 down, 270 right) at
// `speed` pixels per frame: (angle + 90) degrees turned into radians with the
// game's factor 3.141592, x = speed x cos, y = -(speed x sin).
Velocity ReferenceVelocity(int angle, int speed);

// The whole-degree direction whose reference velocity at `speed` is exactly
// (vx, vy), looked for among all turns of the angle atan2 gives; nothing when
// no whole degree matches to the last bit.
std::optional<int> ExactAngle(double vx, double vy, int speed);

// A generator that, after `skip` draws, draws numerator / 2^24. Found by
// trying every state, so it costs a few tens of milliseconds.
RandomSource SourceDrawingAfter(uint32_t numerator, int skip);

// The background the grid renders to, drawn by a compositor of its own.
Surface RenderedBackground(const TextGrid& grid);

}  // namespace rallix::testing
