// FormMain: the window's game. It owns the game record and the pictures, and
// every state handler, print and drawing operation is one of its operations.
// It talks to the machine only through the Platform it is given.
#pragma once

#include <cstdint>
#include <string_view>

#include "display/compositor.h"
#include "game/game_record.h"
#include "game/platform.h"

namespace rallix {

class FormMain {
 public:
  // Loading the window: the pictures are created, the glyph sheet is loaded
  // into PictureSprite and Form_Load runs.
  explicit FormMain(Platform& platform);

  GameRecord Record;
  Compositor Pictures;

  // The window's load event: every default of the record, then the title state.
  void Form_Load();

  // The state machine.
  void SetState(int32_t n);
  // Calls the handler of the current State; no handler outside 1 to 7.
  void RunStateHandler();

  // The state handlers, one frame's work each.
  void TitleScreen();        // 1
  void NewGame();            // 2
  void ServeBall();          // 3
  void PlayRally();          // 4
  void GameEndWait();        // 5
  void PlayerPointScored();  // 6
  void ConfigScreen();       // 7

  // The court and the status panel, written into the grid.
  void DrawCourt();
  // A direction in degrees to a velocity of length BallSpeed.
  void SetBallAngle(int16_t angle, double& vx, double& vy);

  // Display operations on the record's screen.
  void Locate(int32_t column, int32_t row) { Record.Screen.Locate(column, row); }
  void PrintText(std::string_view text) { Record.Screen.PrintText(text); }
  void PrintNow(std::string_view text) { Record.Screen.PrintNow(text); }
  void ClearGrid() { Record.Screen.ClearGrid(); }
  void PutSprite(std::string_view text, int16_t x, int16_t y) {
    Record.Screen.QueuePixelSprite(text, x, y);
  }
  void RedrawBackground() { Pictures.RedrawBackground(Record.Screen.Grid); }
  // Composes the frame, shows it and empties both queues.
  void RenderFrame();

  Platform& Host() { return platform_; }

 private:
  // The rally's two halves, split at its error trap: the moves, hits and
  // bounces of both paddles and the ball, then the tests for a goal at
  // either end.
  void MovePaddlesAndBall();
  void CheckGoals();
  void MoveComputerPaddle();
  void HitBallWithPaddles();
  void BounceBallOffWalls();
  void PlayerMissed();
  // The stage-won screen after the winning point.
  void ShowStageWon();
  // After a won stage: Space starts the next one.
  void WaitForNextStage();
  // Reads one key with its edge latch: true on the press edge.
  bool KeyPressEdge(const KeySnapshot& keys, uint8_t virtual_key, Bool16& latch);

  Platform& platform_;
};

}  // namespace rallix
