// The title menu: "GAME START", "CONFIG" and "QUIT GAME".
#include "base/checked_math.h"
#include "base/run_time_error.h"
#include "game/form_main.h"

namespace rallix {
namespace {

int16_t TitleMarkRow(int16_t menu_cursor) {
  return Add16(13, Mul16(2, menu_cursor));
}

}  // namespace

void FormMain::TitleScreen() {
  GameRecord& r = Record;
  if (r.StateEntered != kFalse) {
    DrawCourt();
    Locate(6, 10);
    PrintText("RALLIX");
    Locate(6, 13);
    PrintText("GAME START");
    Locate(6, 15);
    PrintText("CONFIG");
    Locate(6, 17);
    PrintText("QUIT GAME");
  }
  r.StateEntered = kFalse;

  Locate(5, TitleMarkRow(r.MenuCursor));
  PrintText(" ");

  KeySnapshot keys{};
  platform_.GetKeyboardState(keys);
  if (KeyPressEdge(keys, kVkUp, r.KeyLatchUp))
    r.MenuCursor = Sub16(r.MenuCursor, 1);
  if (KeyPressEdge(keys, kVkDown, r.KeyLatchDown))
    r.MenuCursor = Add16(r.MenuCursor, 1);
  if (r.MenuCursor > 2)
    r.MenuCursor = 0;
  if (r.MenuCursor < 0)
    r.MenuCursor = 2;

  Locate(5, TitleMarkRow(r.MenuCursor));
  PrintText(">");
  RedrawBackground();

  if (KeyPressEdge(keys, kVkSpace, r.KeyLatchSpace)) {
    switch (r.MenuCursor) {
      case 0:
        SetState(kStateNewGame);
        break;
      case 1:
        SetState(kStateConfig);
        r.MenuCursor = 0;
        break;
      case 2:
        throw ProgramEnd{};
      default:
        break;
    }
  }
}

}  // namespace rallix
