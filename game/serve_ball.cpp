// The serve: ball under the computer's paddle, a random downward direction.
#include "base/checked_math.h"
#include "game/form_main.h"

namespace rallix {

void FormMain::ServeBall() {
  GameRecord& r = Record;
  r.StateEntered = kFalse;
  r.Random.Reseed(platform_.PlayClock());
  r.BallX = 80;
  r.BallY = 32;
  const float r1 = r.Random.Next();
  const float r2 = r.Random.Next();
  const int16_t j = Sub16(Floor16(16.0f * r1), 8);    // -8 .. 7
  const int16_t s = Add16(Floor16(90.0f * r2), 135);  // 135 .. 224
  const int16_t angle = Add16(j, s);                  // 127 .. 231, always downward
  SetBallAngle(angle, r.BallVX, r.BallVY);
  r.PlayerX = 12;
  r.ComX = 5;
  SetState(kStateRally);
}

}  // namespace rallix
