// The walled court and the status panel beside it.
#include "base/number_text.h"
#include "game/form_main.h"
#include "game/game_state.h"

namespace rallix {

namespace {

void PrintWalls(TextScreen& screen) {
  for (int row = 0; row <= 24; ++row) {
    screen.Locate(0, row);
    screen.PrintText("|                    |");
  }
}

}  // namespace

void FormMain::DrawCourt() {
  // The desktop window has no drawing surface of its own beneath the
  // pictures, so there is nothing to clear before the grid is written.
  PrintWalls(Record.Screen);
  Locate(22, 0);
  PrintText("HI-SCORE");
  Locate(23, 1);
  PrintText(RightAligned(PlainDecimal(Record.HiScore), 7));
  Locate(25, 2);
  PrintText("SCORE");
  Locate(23, 3);
  PrintText(RightAligned(PlainDecimal(Record.Score), 7));
  Locate(27, 7);
  PrintText("COM");
  Locate(25, 8);
  PrintText(RightAligned(PlainDecimal(Record.ComPoints), 5));
  Locate(24, 15);
  PrintText("PLAYER");
  Locate(25, 16);
  PrintText(RightAligned(PlainDecimal(Record.PlayerPoints), 5));
}

const TextGrid& WalledCourt() {
  static const TextGrid court = [] {
    TextScreen screen;
    PrintWalls(screen);
    return screen.Grid;
  }();
  return court;
}

}  // namespace rallix
