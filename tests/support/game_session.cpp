#include "tests/support/game_session.h"

#include "display/glyph_origin.h"

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

std::string GameSession::GridText(int column, int row, int length) const {
  std::string text;
  for (int i = 0; i < length; ++i) {
    const char ch = Record().Screen.Grid.At(column + i, row);
    text += ch == '\0' ? '.' : ch;
  }
  return text;
}

bool GameSession::Shows(int column, int row, std::string_view text) const {
  const Surface& frame = platform.last_frame;
  const Surface& sheet = form.Pictures.PictureSprite;
  for (size_t i = 0; i < text.size(); ++i) {
    const GlyphPoint origin = GlyphOriginOf(text[i]);
    const int x = (column + static_cast<int>(i)) * kCellSize;
    const int y = row * kCellSize;
    for (int dy = 0; dy < kCellSize; ++dy) {
      for (int dx = 0; dx < kCellSize; ++dx) {
        if (frame.At(x + dx, y + dy) != sheet.At(origin.x + dx, origin.y + dy))
          return false;
      }
    }
  }
  return true;
}

}  // namespace rallix::testing
