// The rally: both paddles, the ball, its hits and bounces, and the misses.
#include "base/checked_math.h"
#include "base/run_time_error.h"
#include "game/ball_angle.h"
#include "game/computer_paddle.h"
#include "game/form_main.h"
#include "game/pixel_rect.h"

namespace rallix {
namespace {

constexpr int kPlayerRow = 23;
constexpr int kComRow = 1;

}  // namespace

void FormMain::PlayRally() {
  // The rally traps its own errors: one in the moves abandons the rest of
  // them and the goal tests still run; one in the goal tests runs them once
  // more, unless the frame already had an error.
  bool had_error = false;
  try {
    MovePaddlesAndBall();
  } catch (const RunTimeError&) {
    had_error = true;
  }
  try {
    CheckGoals();
  } catch (const RunTimeError&) {
    if (had_error)
      throw;
    CheckGoals();
  }
}

void FormMain::MovePaddlesAndBall() {
  GameRecord& r = Record;
  r.StateEntered = kFalse;

  const PaddleKind& player = r.PlayerPaddles(r.PlayerPaddleKind);
  Locate(r.PlayerX, kPlayerRow);
  PrintNow(player.Blank);
  KeySnapshot keys{};
  platform_.GetKeyboardState(keys);
  if (IsKeyDown(keys, kVkLeft) && r.PlayerX > 1)
    r.PlayerX = Sub16(r.PlayerX, 1);
  if (IsKeyDown(keys, kVkRight) && r.PlayerX < player.MaxX)
    r.PlayerX = Add16(r.PlayerX, 1);
  Locate(r.PlayerX, kPlayerRow);
  PrintNow(player.Shape);

  const PaddleKind& com = r.ComPaddles(r.ComPaddleKind);
  Locate(r.ComX, kComRow);
  PrintNow(com.Blank);
  MoveComputerPaddle();
  Locate(r.ComX, kComRow);
  PrintNow(com.Shape);

  HitBallWithPaddles();
  BounceBallOffWalls();

  r.BallX = r.BallX + r.BallVX;
  r.BallY = r.BallY + r.BallVY;
  PutSprite("O", Floor16(r.BallX), Floor16(r.BallY));
}

void FormMain::MoveComputerPaddle() {
  GameRecord& r = Record;
  // A draw every frame, whether or not the paddle then moves.
  const float draw = r.Random.Next();
  r.ComX = ComputerPaddleColumn(r, r.ComX, r.BallX, r.BallY, draw);
}

void FormMain::HitBallWithPaddles() {
  GameRecord& r = Record;
  if (!(r.BallX >= 0 && r.BallY + r.BallVY >= 16))
    return;
  const PaddleKind& player = r.PlayerPaddles(r.PlayerPaddleKind);
  const PaddleKind& com = r.ComPaddles(r.ComPaddleKind);
  // Each rectangle reaches one column beyond the paddle's right end.
  const PixelRect com_rect{Mul16(16, r.ComX), 16, Add16(Mul16(16, Add16(r.ComX, com.Width)), 15),
                           31};
  const PixelRect player_rect{Mul16(16, r.PlayerX), 368,
                              Add16(Mul16(16, Add16(r.PlayerX, player.Width)), 15), 383};
  const PixelPoint next{Round32(r.BallX), Round32(r.BallY + r.BallVY)};
  const bool struck_com = PointInRect(com_rect, next) == 1;
  const bool struck_player = PointInRect(player_rect, next) == 1;
  if (!struck_com && !struck_player)
    return;

  // The ball's row, not the rectangle struck, chooses the formula.
  const int16_t base_angle = FloorReal(r.BallY / 16) >= 11
                                 ? PlayerReturnAngle(r.BallX - Mul16(16, r.PlayerX), player.Width)
                                 : ComputerReturnAngle(r.BallX - Mul16(16, r.ComX), com.Width);
  const int16_t jitter = Sub16(Floor16(16.0f * r.Random.Next()), 8);
  const int16_t angle = Add16(base_angle, jitter);
  SetBallAngle(angle, r.BallVX, r.BallVY);
  platform_.PlaySoundAsync("pon.WAV");
}

void FormMain::BounceBallOffWalls() {
  GameRecord& r = Record;
  if (!(r.BallX + r.BallVX >= 0 && r.BallY >= 0))
    return;
  // The column of the next x, and the row nearest to the ball (rounded, not floored).
  const std::string cell =
      r.Screen.Grid.Cell(Floor32((r.BallX + r.BallVX) / 16), Round32(r.BallY / 16));
  if (cell == "|") {
    r.BallVX = -r.BallVX;
    platform_.PlaySoundAsync("pin.WAV");
  }
}

void FormMain::CheckGoals() {
  GameRecord& r = Record;
  if (r.BallY <= 1)
    SetState(kStatePlayerPoint);
  if (r.BallY / 16 >= 25)
    PlayerMissed();
}

void FormMain::PlayerMissed() {
  GameRecord& r = Record;
  platform_.StopSound();
  platform_.PlaySoundSync("pupu.WAV");
  r.ComPoints = Add32(r.ComPoints, 1);
  if (r.HiScore < r.Score)
    r.HiScore = r.Score;
  DrawCourt();
  RedrawBackground();
  if (r.ComPoints < r.SetCount) {
    SetState(kStateServe);
  } else {
    Locate(6, 12);
    PrintText("GAME OVER");
    Locate(4, 15);
    PrintText("PUSH SPACE KEY");
    SetState(kStateGameEnd);
  }
}

}  // namespace rallix
