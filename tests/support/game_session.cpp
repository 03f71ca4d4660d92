#include "tests/support/game_session.h"

namespace rallix::testing {

bool GameSession::RunUntil(const std::function<bool(const GameRecord&)>& done, int64_t limit) {
  for (int64_t pass = 0; pass < limit; ++pass) {
    if (Run() != LoopEnd::kLimit)
      return done(Record());
    if (done(Record()))
      return true;
  }
  return false;
}

void GameSession::Press(std::initializer_list<uint8_t> keys) {
  platform.ReleaseAll();
  Run();
  platform.Hold(keys);
  Run();
}

bool GameSession::Shows(int column, int row, std::string_view text) const {
  return ScreenText(platform.last_frame, form.Pictures.PictureSprite, column, row,
                    static_cast<int>(text.size())) == text;
}

}  // namespace rallix::testing
