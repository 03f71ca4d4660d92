#include "game/ball_angle.h"

#include "base/checked_math.h"
#include "base/trig.h"
#include "game/form_main.h"

namespace rallix {

int16_t PlayerReturnAngle(double d, int16_t width) {
  return Round16(405 - (d * 90) / Mul16(16, width));
}

int16_t ComputerReturnAngle(double d, int16_t width) {
  return Round16((d * 90) / Mul16(16, width) + 135);
}

void VelocityOf(int16_t angle, int16_t speed, double& vx, double& vy) {
  const int16_t t = Add16(angle, 90);
  // The factor is 3.141592, not pi: a ball sent straight down keeps a tiny drift.
  const double rad = t * 3.141592 / 180;
  // Correctly rounded, so the ball flies the same on every machine.
  vx = speed * Cosine(rad);
  vy = -(speed * Sine(rad));
}

void FormMain::SetBallAngle(int16_t angle, double& vx, double& vy) {
  VelocityOf(angle, Record.BallSpeed, vx, vy);
}

}  // namespace rallix
