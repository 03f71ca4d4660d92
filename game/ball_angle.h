// Directions in degrees, counted from straight up towards the left: 0 up,
// 90 left, 180 down, 270 right. The rally's own rules for them, shared with
// the tests' computer player so that it foresees the game exactly.
#pragma once

#include <cstdint>

namespace rallix {

// The direction a paddle `width` columns long sends the ball off in, before
// the jitter, when the ball's centre is `d` pixels right of the paddle's
// first pixel: the player's paddle sends it up, the computer's down.
int16_t PlayerReturnAngle(double d, int16_t width);
int16_t ComputerReturnAngle(double d, int16_t width);

// The velocity of length `speed` in the direction `angle`.
void VelocityOf(int16_t angle, int16_t speed, double& vx, double& vy);

}  // namespace rallix
