// The configuration menu: five settings and "EXIT".
#include "base/checked_math.h"
#include "base/number_text.h"
#include "game/form_main.h"

namespace rallix {
namespace {

int16_t ConfigMarkRow(int16_t menu_cursor) {
  return Add16(10, Mul16(2, menu_cursor));
}

}  // namespace

void FormMain::ConfigScreen() {
  GameRecord& r = Record;
  if (r.StateEntered != kFalse) {
    DrawCourt();
    Locate(3, 10);
    PrintText("SET COUNT");
    Locate(3, 12);
    PrintText("LEVEL");
    Locate(3, 14);
    PrintText("BALL SPEED");
    Locate(3, 16);
    PrintText("PLAYER PDL");
    Locate(3, 18);
    PrintText("COM PDL");
    Locate(3, 20);
    PrintText("EXIT");
  }
  r.StateEntered = kFalse;

  // The values as they stand at the start of the frame: a change made by
  // this frame's Space shows from the next frame on.
  Locate(15, 10);
  PrintText(RightAligned(SignedDecimal(r.SetCount), 2));
  Locate(15, 13);
  PrintText(SignedDecimal(r.Level));
  Locate(15, 15);
  PrintText(SignedDecimal(r.BallSpeed));
  Locate(13, 17);
  PrintText(RightAligned(r.PlayerPaddles(r.PlayerPaddleKind).Shape, 7));
  Locate(13, 19);
  PrintText(RightAligned(r.ComPaddles(r.ComPaddleKind).Shape, 7));

  Locate(1, ConfigMarkRow(r.MenuCursor));
  PrintText(" ");

  KeySnapshot keys{};
  platform_.GetKeyboardState(keys);
  if (KeyPressEdge(keys, kVkUp, r.KeyLatchUp))
    r.MenuCursor = Sub16(r.MenuCursor, 1);
  if (KeyPressEdge(keys, kVkDown, r.KeyLatchDown))
    r.MenuCursor = Add16(r.MenuCursor, 1);
  // Space acts on the item the mark holds now, before the wrap: -1 and 6
  // (an Up or Down edge in the same frame) carry out nothing.
  if (KeyPressEdge(keys, kVkSpace, r.KeyLatchSpace)) {
    switch (r.MenuCursor) {
      case 0:
        r.SetCount = NextSetCount(r.SetCount);
        break;
      case 1:
        r.Level = NextLevel(r.Level);
        break;
      case 2:
        r.BallSpeed = NextBallSpeed(r.BallSpeed);
        break;
      case 3:
        r.PlayerPaddleKind = NextPaddleKind(r.PlayerPaddleKind);
        break;
      case 4:
        r.ComPaddleKind = NextPaddleKind(r.ComPaddleKind);
        break;
      case 5:
        SetState(kStateTitle);  // MenuCursor stays at 5
        break;
      default:
        break;
    }
  }
  if (r.MenuCursor > 5)
    r.MenuCursor = 0;
  if (r.MenuCursor < 0)
    r.MenuCursor = 5;

  Locate(1, ConfigMarkRow(r.MenuCursor));
  PrintText(">");
  RedrawBackground();
}

}  // namespace rallix
