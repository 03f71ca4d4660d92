#include "game/form_main.h"

#include "display/glyph_sheet.h"

namespace rallix {

FormMain::FormMain(Platform& platform) : Pictures(BuiltInGlyphSheet()), platform_(platform) {
  Form_Load();
}

void FormMain::Form_Load() {
  Record.Screen.ClearGrid();
  Record.Screen.EmptyQueues();
  Record.Level = 1;
  Record.HiScore = 30000;
  SetState(kStateTitle);
  Record.Stage = 0;
  Record.KeyLatchUp = kFalse;
  Record.KeyLatchDown = kFalse;
  Record.KeyLatchSpace = kFalse;
  Record.SetCount = 5;
  Record.BallSpeed = 8;
  FillPaddleTables(Record);
  Record.PlayerPaddleKind = 1;
  Record.ComPaddleKind = 1;
}

void FormMain::RenderFrame() {
  Pictures.ComposeFrame(Record.Screen);
  platform_.Present(Pictures.PictureMain);
  Record.Screen.EmptyQueues();
}

bool FormMain::KeyPressEdge(const KeySnapshot& keys, uint8_t virtual_key, Bool16& latch) {
  if (!IsKeyDown(keys, virtual_key)) {
    latch = kFalse;
    return false;
  }
  if (latch != kFalse)
    return false;
  latch = kTrue;
  return true;
}

}  // namespace rallix
