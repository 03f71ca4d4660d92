// A game stopped in the middle of a rally, for driving the rally frame by
// frame, and the helpers of the rally's tests.
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

// The whole-degree direction that the game's own SetBallAngle (checked
// against worked values in rally_geometry_test.cpp) turns into exactly
// (vx, vy) at the record's BallSpeed: the nearest whole degree in 0..359, or
// that plus a turn; nothing when neither matches to the last bit.
std::optional<int> AngleOf(FormMain& form, double vx, double vy);

// A generator that, after `skip` draws, draws numerator / 2^24. Found by
// trying every state, so it costs a few tens of milliseconds.
RandomSource SourceDrawingAfter(uint32_t numerator, int skip);

// The background the grid renders to, drawn by a compositor of its own.
Surface RenderedBackground(const TextGrid& grid);

}  // namespace rallix::testing
