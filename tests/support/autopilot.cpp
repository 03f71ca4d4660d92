#include "tests/support/autopilot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/checked_math.h"
#include "game/ball_angle.h"
#include "game/computer_paddle.h"
#include "game/pixel_rect.h"

namespace rallix::testing {
namespace {

constexpr int kMaxFrames = 1500;
constexpr int kPlayerTop = 368;
constexpr int kPlayerBottom = 383;
constexpr int kComTop = 16;
constexpr int kComBottom = 31;

// The side walls: "|" in columns 0 and 21 of rows 0 to 24. They turn the
// ball when its next x lies in a wall column on the row nearest to it.
void BounceAndMove(BallState& b) {
  if (b.x + b.vx >= 0 && b.y >= 0) {
    const int32_t column = Floor32((b.x + b.vx) / 16);
    const int32_t row = Round32(b.y / 16);
    if ((column == 0 || column == 21) && row >= 0 && row <= 24)
      b.vx = -b.vx;
  }
  b.x = b.x + b.vx;
  b.y = b.y + b.vy;
}

// Whether the paddle test of this frame finds the ball in a paddle's
// rectangle, which reaches one column past the paddle's right end.
bool Struck(const BallState& b, int16_t column, int16_t width, int top, int bottom) {
  if (!(b.x >= 0 && b.y + b.vy >= 16))
    return false;
  const PixelRect paddle{16 * column, top, 16 * (column + width) + 15, bottom};
  return PointInRect(paddle, PixelPoint{Round32(b.x), Round32(b.y + b.vy)}) == 1;
}

// The ball struck by the player's paddle at `column`, with jitter `jitter`,
// by the rally's own rule.
BallState Returned(const GameRecord& r, BallState b, int16_t column, int jitter) {
  const int16_t width = r.PlayerPaddles(r.PlayerPaddleKind).Width;
  const int16_t angle = PlayerReturnAngle(b.x - 16 * column, width);
  VelocityOf(static_cast<int16_t>(angle + jitter), r.BallSpeed, b.vx, b.vy);
  return b;
}

// Whether a return goes past the computer, whose skill draw is `draw` on
// every frame. A ball struck twice by the player counts as caught.
bool BeatsComputer(const GameRecord& r, BallState b, int16_t player_x, int16_t com_x, float draw) {
  const int16_t player_width = r.PlayerPaddles(r.PlayerPaddleKind).Width;
  const int16_t com_width = r.ComPaddles(r.ComPaddleKind).Width;
  BounceAndMove(b);  // the rest of the striking frame
  for (int frame = 0; frame < kMaxFrames; ++frame) {
    if (b.y <= 1)
      return true;
    com_x = ComputerPaddleColumn(r, com_x, b.x, b.y, draw);  // its draw fixed
    if (Struck(b, com_x, com_width, kComTop, kComBottom))
      return false;
    if (Struck(b, player_x, player_width, kPlayerTop, kPlayerBottom))
      return false;
    BounceAndMove(b);
  }
  return false;
}

bool SameBall(const BallState& b, const GameRecord& r) {
  return b.x == r.BallX && b.y == r.BallY && b.vx == r.BallVX && b.vy == r.BallVY;
}

int16_t ColumnUnder(const GameRecord& r, double x) {
  const PaddleKind& paddle = r.PlayerPaddles(r.PlayerPaddleKind);
  const long column = std::lround(x / 16 - paddle.Width / 2.0);
  return static_cast<int16_t>(std::max<long>(1, std::min<long>(paddle.MaxX, column)));
}

}  // namespace

void Autopilot::Steer(const GameRecord& record, KeySnapshot& keys) {
  if (step_ >= path_.size() || !SameBall(path_[step_], record))
    Plan(record);
  ++step_;
  if (record.PlayerX < target_)
    keys[kVkRight] = kKeyDownBit;
  if (record.PlayerX > target_)
    keys[kVkLeft] = kKeyDownBit;
}

void Autopilot::Plan(const GameRecord& record) {
  ++plans_;
  path_.clear();
  step_ = 0;
  BallState b{record.BallX, record.BallY, record.BallVX, record.BallVY};
  const int16_t com_width = record.ComPaddles(record.ComPaddleKind).Width;
  int16_t com_x = record.ComX;
  for (int frame = 0; frame < kMaxFrames; ++frame) {
    path_.push_back(b);
    if (b.vy < 0) {
      // Going up: wait under the place where it reaches the computer's row.
      if (b.y <= 32) {
        target_ = ColumnUnder(record, b.x);
        return;
      }
    } else {
      com_x = ComputerPaddleColumn(record, com_x, b.x, b.y, 0.5f);
      if (Struck(b, com_x, com_width, kComTop, kComBottom))
        break;  // struck again up there
      if (b.x >= 0 && b.y + b.vy >= 16 && Round32(b.y + b.vy) >= kPlayerTop) {
        target_ = ChooseStrikeColumn(record, b, com_x, frame);
        return;
      }
    }
    if (b.y / 16 >= 25)
      break;
    BounceAndMove(b);
  }
  target_ = ColumnUnder(record, b.x);
}

int16_t Autopilot::ChooseStrikeColumn(const GameRecord& record, const BallState& ball,
                                      int16_t com_x, int64_t frames_left) const {
  const PaddleKind& paddle = record.PlayerPaddles(record.PlayerPaddleKind);
  const int32_t x = Round32(ball.x);
  int16_t best = ColumnUnder(record, ball.x);
  int best_score = -1;
  double best_off_centre = 1e9;
  for (int16_t column = 1; column <= paddle.MaxX; ++column) {
    if (x < 16 * column || x > 16 * (column + paddle.Width) + 15)
      continue;
    if (std::abs(column - record.PlayerX) > frames_left + 1)
      continue;
    int score = 0;
    if (aim_) {
      for (int jitter = -8; jitter <= 7; ++jitter) {
        const BallState returned = Returned(record, ball, column, jitter);
        for (float draw : {0.35f, 0.9f}) {
          if (BeatsComputer(record, returned, column, com_x, draw))
            ++score;
        }
      }
    }
    const double off_centre = std::abs(ball.x - (16 * column + 8 * paddle.Width));
    if (score > best_score || (score == best_score && off_centre < best_off_centre)) {
      best = column;
      best_score = score;
      best_off_centre = off_centre;
    }
  }
  return best;
}

}  // namespace rallix::testing
