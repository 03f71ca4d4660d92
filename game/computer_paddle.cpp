#include "game/computer_paddle.h"

#include "base/checked_math.h"

namespace rallix {

int16_t ComputerPaddleColumn(const GameRecord& r, int16_t com_x, double ball_x, double ball_y,
                             float draw) {
  const float reach = (static_cast<float>(r.Stage) * draw + static_cast<float>(r.Level)) *
                      static_cast<float>(r.BallSpeed) / 8.0f;
  if (!(static_cast<double>(reach) >= FloorReal(ball_y / 16)))
    return com_x;
  if (ball_x / 16 < com_x && com_x > 1)
    com_x = Sub16(com_x, 1);
  // The 4 is the same for every paddle width.
  if (ball_x / 16 > Add16(com_x, 4) && com_x < r.ComPaddles(r.ComPaddleKind).MaxX)
    com_x = Add16(com_x, 1);
  return com_x;
}

}  // namespace rallix
