// How the computer's paddle follows the ball: the rally's rule, shared with
// the tests' computer player so that it foresees the game exactly.
#pragma once

#include <cstdint>

#include "game/game_record.h"

namespace rallix {

// The computer's paddle column after a frame that finds it at `com_x` and the
// ball at (ball_x, ball_y), with the frame's random draw `draw`. The paddle
// acts only while the ball's row is within its reach, which the stage, the
// level, the ball's speed and the draw make.
int16_t ComputerPaddleColumn(const GameRecord& r, int16_t com_x, double ball_x, double ball_y,
                             float draw);

}  // namespace rallix
