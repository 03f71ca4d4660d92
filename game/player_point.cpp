// The player's point, the stage bonus and the wait for the next stage.
#include "base/checked_math.h"
#include "base/number_text.h"
#include "game/form_main.h"

namespace rallix {

void FormMain::PlayerPointScored() {
  GameRecord& r = Record;
  if (r.StateEntered != kFalse) {
    platform_.StopSound();
    platform_.PlaySoundSync("pipopin.WAV");
    r.PlayerPoints = Add32(r.PlayerPoints, 1);
    r.Score = Add32(r.Score, 100);
    if (r.PlayerPoints < r.SetCount) {
      SetState(kStateServe);
      if (r.HiScore < r.Score)
        r.HiScore = r.Score;
      DrawCourt();
      RedrawBackground();
      return;
    }
    ShowStageWon();
    if (r.State == kStateGameEnd)
      return;  // "YOU ARE CHAMPION": the game is over
  }
  WaitForNextStage();
}

void FormMain::ShowStageWon() {
  GameRecord& r = Record;
  // (SetCount + PlayerPoints - ComPoints) x (Stage x 1000), the last factor a 16-bit product.
  const int32_t margin = Sub32(Add32(r.SetCount, r.PlayerPoints), r.ComPoints);
  const int32_t bonus = Mul32(margin, Mul16(r.Stage, 1000));
  r.Score = Add32(r.Score, bonus);
  if (r.HiScore < r.Score)
    r.HiScore = r.Score;
  DrawCourt();
  Locate(5, 15);
  PrintText("BONUS POINT");
  Locate(11, 16);
  PrintText(RightAligned(PlainDecimal(bonus), 5));
  Locate(4, 18);
  PrintText("PUSH SPACE KEY");
  if (r.Stage <= 4) {
    Locate(7, 12);
    PrintText("YOU WIN");
  } else {
    Locate(3, 12);
    PrintText("YOU ARE CHAMPION");
    SetState(kStateGameEnd);
  }
  RedrawBackground();
}

void FormMain::WaitForNextStage() {
  GameRecord& r = Record;
  r.StateEntered = kFalse;
  KeySnapshot keys{};
  platform_.GetKeyboardState(keys);
  if (KeyPressEdge(keys, kVkSpace, r.KeyLatchSpace)) {
    SetState(kStateServe);
    r.Stage = Add16(r.Stage, 1);
    r.PlayerPoints = 0;
    r.ComPoints = 0;
    ClearGrid();
    DrawCourt();
    RedrawBackground();
  }
}

}  // namespace rallix
