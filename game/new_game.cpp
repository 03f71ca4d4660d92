// Setting up a new game from the first stage.
#include "game/form_main.h"

namespace rallix {

void FormMain::NewGame() {
  Record.StateEntered = kFalse;
  Record.Score = 0;
  Record.PlayerPoints = 0;
  Record.ComPoints = 0;
  Record.Stage = 1;
  ClearGrid();
  DrawCourt();
  RedrawBackground();
  SetState(kStateServe);
}

}  // namespace rallix
