// The game record: every field of the program, owned by the window. It is a
// plain value, so a game can be copied, compared and replayed.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "display/text_screen.h"
#include "game/random_source.h"

namespace rallix {

// Booleans are 16-bit, true = -1 and false = 0.
using Bool16 = int16_t;
constexpr Bool16 kTrue = -1;
constexpr Bool16 kFalse = 0;

// The game states.
constexpr int32_t kStateTitle = 1;
constexpr int32_t kStateNewGame = 2;
constexpr int32_t kStateServe = 3;
constexpr int32_t kStateRally = 4;
constexpr int32_t kStateGameEnd = 5;
constexpr int32_t kStatePlayerPoint = 6;
constexpr int32_t kStateConfig = 7;

// One size of paddle.
struct PaddleKind {
  std::string Shape;  // the paddle as printed on its row
  std::string Blank;  // spaces as long as Shape, printed to erase it
  int16_t MaxX = 0;   // the largest column the paddle's left end may take
  int16_t Width = 0;  // the paddle's length in columns
  friend bool operator==(const PaddleKind& a, const PaddleKind& b) {
    return a.Shape == b.Shape && a.Blank == b.Blank && a.MaxX == b.MaxX && a.Width == b.Width;
  }
};

// A table of three paddle kinds, indexed 0 to 2; any other index raises the
// subscript-out-of-range error.
class PaddleTable {
 public:
  const PaddleKind& operator()(int32_t index) const;
  PaddleKind& operator()(int32_t index);
  friend bool operator==(const PaddleTable& a, const PaddleTable& b) { return a.rows_ == b.rows_; }

 private:
  std::array<PaddleKind, 3> rows_;
};

struct GameRecord {
  TextScreen Screen;  // CellSprites, PixelSprites, TextGrid, CursorX, CursorY
  int32_t HiScore = 0;
  int32_t Score = 0;
  int32_t PlayerPoints = 0;
  int32_t ComPoints = 0;
  int32_t State = 0;
  double BallX = 0;
  double BallY = 0;
  double BallVX = 0;
  double BallVY = 0;
  int16_t PlayerX = 0;
  int16_t ComX = 0;
  int16_t Stage = 0;
  Bool16 StateEntered = kFalse;
  PaddleTable PlayerPaddles;
  PaddleTable ComPaddles;
  Bool16 KeyLatchUp = kFalse;
  Bool16 KeyLatchDown = kFalse;
  Bool16 KeyLatchSpace = kFalse;
  int16_t MenuCursor = 0;
  int16_t SetCount = 0;
  int16_t BallSpeed = 0;
  int16_t Level = 0;
  int16_t PlayerPaddleKind = 0;
  int16_t ComPaddleKind = 0;
  RandomSource Random;

  friend bool operator==(const GameRecord& a, const GameRecord& b);
  friend bool operator!=(const GameRecord& a, const GameRecord& b) { return !(a == b); }
};

// The values of the two paddle tables.
void FillPaddleTables(GameRecord& record);

// How the settings change: one Space press on the item in the configuration menu.
int16_t NextSetCount(int16_t set_count);    // 5, 6, ..., 10, then 2
int16_t NextLevel(int16_t level);           // 1 to 5, then 1
int16_t NextBallSpeed(int16_t ball_speed);  // 8 becomes 4, anything else 8
int16_t NextPaddleKind(int16_t kind);       // 0, 1, 2, then 0

}  // namespace rallix
