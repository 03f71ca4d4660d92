// The last screen of a game, held until Space is pressed.
#include "game/form_main.h"

namespace rallix {

void FormMain::GameEndWait() {
  GameRecord& r = Record;
  r.StateEntered = kFalse;
  // Every frame: this brings "GAME OVER", printed after the last redraw, on screen.
  RedrawBackground();
  KeySnapshot keys{};
  platform_.GetKeyboardState(keys);
  if (KeyPressEdge(keys, kVkSpace, r.KeyLatchSpace)) {
    SetState(kStateTitle);
    ClearGrid();
  }
}

}  // namespace rallix
