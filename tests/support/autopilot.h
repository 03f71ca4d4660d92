// A computer player for headless games. It is asked for its keys at the
// rally's key snapshot, when the record still holds the ball as it was before
// this frame's move, and holds Left or Right to bring its paddle to the
// column it has chosen:
// - while the ball comes down, a column from which the ball is struck and
//   sent where the computer's paddle is least likely to reach it (or, without
//   aiming, the column that meets the ball with the paddle's middle);
// - while the ball goes up, the column under the place where the ball will
//   reach the computer's row, ready for the return.
// It foresees the ball with the rally's own rules for the paddles' returns
// and the computer's paddle (game/ball_angle.h, game/computer_paddle.h) and
// the walls and hit rectangles as the court has them, and plans again
// whenever the ball leaves the path it foresaw.
#pragma once

#include <cstdint>
#include <vector>

#include "game/game_record.h"
#include "game/platform.h"

namespace rallix::testing {

// The ball between two frames: its centre and its velocity, in pixels.
struct BallState {
  double x = 0;
  double y = 0;
  double vx = 0;
  double vy = 0;
};

class Autopilot {
 public:
  explicit Autopilot(bool aim = true) : aim_(aim) {}

  // Sets Left or Right in `keys` for the coming rally frame, or neither when
  // the paddle already stands on its column.
  void Steer(const GameRecord& record, KeySnapshot& keys);

  int16_t TargetColumn() const { return target_; }
  int64_t Plans() const { return plans_; }

 private:
  void Plan(const GameRecord& record);
  // Where to stand to strike `ball` (the ball of the frame whose paddle test
  // meets the player's row), `frames_left` frames from now.
  int16_t ChooseStrikeColumn(const GameRecord& record, const BallState& ball, int16_t com_x,
                             int64_t frames_left) const;

  bool aim_;
  std::vector<BallState> path_;  // the ball frame by frame, as foreseen
  size_t step_ = 0;
  int16_t target_ = 12;
  int64_t plans_ = 0;
};

}  // namespace rallix::testing
