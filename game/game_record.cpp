#include "game/game_record.h"

#include "base/checked_math.h"
#include "base/run_time_error.h"

namespace rallix {

const PaddleKind& PaddleTable::operator()(int32_t index) const {
  if (index < 0 || index > 2)
    RaiseSubscriptOutOfRange();
  return rows_[static_cast<size_t>(index)];
}

PaddleKind& PaddleTable::operator()(int32_t index) {
  if (index < 0 || index > 2)
    RaiseSubscriptOutOfRange();
  return rows_[static_cast<size_t>(index)];
}

void FillPaddleTables(GameRecord& record) {
  record.PlayerPaddles(0) = {"-+-", "   ", 18, 3};
  record.PlayerPaddles(1) = {"--+--", "     ", 16, 5};
  record.PlayerPaddles(2) = {"---+---", "       ", 14, 7};
  record.ComPaddles(0) = {"---", "   ", 18, 3};
  record.ComPaddles(1) = {"-----", "     ", 16, 5};
  record.ComPaddles(2) = {"-------", "       ", 14, 7};
}

int16_t NextSetCount(int16_t set_count) {
  int16_t next = Add16(set_count, 1);
  return next > 10 ? int16_t{2} : next;
}

int16_t NextLevel(int16_t level) {
  int16_t next = Add16(level, 1);
  return next > 5 ? int16_t{1} : next;
}

int16_t NextBallSpeed(int16_t ball_speed) {
  return ball_speed == 8 ? int16_t{4} : int16_t{8};
}

int16_t NextPaddleKind(int16_t kind) {
  int16_t next = Add16(kind, 1);
  return next > 2 ? int16_t{0} : next;
}

bool operator==(const GameRecord& a, const GameRecord& b) {
  return a.Screen == b.Screen && a.HiScore == b.HiScore && a.Score == b.Score &&
         a.PlayerPoints == b.PlayerPoints && a.ComPoints == b.ComPoints && a.State == b.State &&
         a.BallX == b.BallX && a.BallY == b.BallY && a.BallVX == b.BallVX && a.BallVY == b.BallVY &&
         a.PlayerX == b.PlayerX && a.ComX == b.ComX && a.Stage == b.Stage &&
         a.StateEntered == b.StateEntered && a.PlayerPaddles == b.PlayerPaddles &&
         a.ComPaddles == b.ComPaddles && a.KeyLatchUp == b.KeyLatchUp &&
         a.KeyLatchDown == b.KeyLatchDown && a.KeyLatchSpace == b.KeyLatchSpace &&
         a.MenuCursor == b.MenuCursor && a.SetCount == b.SetCount && a.BallSpeed == b.BallSpeed &&
         a.Level == b.Level && a.PlayerPaddleKind == b.PlayerPaddleKind &&
         a.ComPaddleKind == b.ComPaddleKind && a.Random == b.Random;
}

}  // namespace rallix
