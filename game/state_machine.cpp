// The game states and their handlers.
#include "game/form_main.h"

namespace rallix {

void FormMain::SetState(int32_t n) {
  Record.State = n;
  Record.StateEntered = kTrue;
}

void FormMain::RunStateHandler() {
  switch (Record.State) {
    case kStateTitle:
      TitleScreen();
      break;
    case kStateNewGame:
      NewGame();
      break;
    case kStateServe:
      ServeBall();
      break;
    case kStateRally:
      PlayRally();
      break;
    case kStateGameEnd:
      GameEndWait();
      break;
    case kStatePlayerPoint:
      PlayerPointScored();
      break;
    case kStateConfig:
      ConfigScreen();
      break;
    default:
      break;  // no handler: the pass only composes the frame
  }
}

}  // namespace rallix
