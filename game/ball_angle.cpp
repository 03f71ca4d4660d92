// Directions in degrees, counted from straight up towards the left: 0 up,
// 90 left, 180 down, 270 right.
#include "base/checked_math.h"
#include "base/trig.h"
#include "game/form_main.h"

namespace rallix {

void FormMain::SetBallAngle(int16_t angle, double& vx, double& vy) {
  const int16_t t = Add16(angle, 90);
  // The factor is 3.141592, not pi: a ball sent straight down keeps a tiny drift.
  const double rad = t * 3.141592 / 180;
  // Correctly rounded, so the ball flies the same on every machine.
  vx = Record.BallSpeed * Cosine(rad);
  vy = -(Record.BallSpeed * Sine(rad));
}

}  // namespace rallix
