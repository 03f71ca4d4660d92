#include "tests/support/rally_court.h"

#include <cmath>

#include "base/trig.h"
#include "display/compositor.h"
#include "display/glyph_sheet.h"

namespace rallix::testing {

RallyCourt::RallyCourt() : form(platform) {
  form.NewGame();
  form.ServeBall();
  form.Record.Screen.EmptyQueues();
  sounds_seen_ = platform.sounds.size();
}

void RallyCourt::PlaceBall(double x, double y, double vx, double vy) {
  form.Record.BallX = x;
  form.Record.BallY = y;
  form.Record.BallVX = vx;
  form.Record.BallVY = vy;
}

void RallyCourt::Frame() {
  form.PlayRally();
  form.Record.Screen.EmptyQueues();
}

std::vector<SoundEvent> RallyCourt::NewSounds() {
  std::vector<SoundEvent> fresh(platform.sounds.begin() + static_cast<ptrdiff_t>(sounds_seen_),
                                platform.sounds.end());
  sounds_seen_ = platform.sounds.size();
  return fresh;
}

int RallyCourt::NewHits() {
  int hits = 0;
  for (const SoundEvent& event : NewSounds()) {
    if (event.file == "pon.WAV")
      ++hits;
  }
  return hits;
}

Velocity ReferenceVelocity(int angle, int speed) {
  const double radians = static_cast<double>(angle + 90) * 3.141592 / 180.0;
  return {speed * Cosine(radians), -(speed * Sine(radians))};
}

std::optional<int> ExactAngle(double vx, double vy, int speed) {
  // atan2 gives the direction modulo a real turn; the game's turn is
  // 360 x 3.141592 / 180 radians, so try each turn and the neighbouring degrees.
  const double direction = std::atan2(-vy, vx);
  const double full_turn = 2 * std::acos(-1.0);
  for (int turns = -3; turns <= 3; ++turns) {
    const double degrees = (direction + turns * full_turn) * 180.0 / 3.141592 - 90.0;
    const int nearest = static_cast<int>(std::lround(degrees));
    for (int angle = nearest - 1; angle <= nearest + 1; ++angle) {
      const Velocity v = ReferenceVelocity(angle, speed);
      if (v.vx == vx && v.vy == vy)
        return angle;
    }
  }
  return std::nullopt;
}

RandomSource SourceDrawingAfter(uint32_t numerator, int skip) {
  const float wanted = static_cast<float>(numerator) / 16777216.0f;
  for (uint32_t state = 0; state < 0x1000000u; ++state) {
    RandomSource source;
    source.SetState(state);
    for (int i = 0; i < skip; ++i)
      source.Next();
    if (source.Next() == wanted) {
      source.SetState(state);
      return source;
    }
  }
  return RandomSource();  // every 24-bit value is drawn once per period
}

std::string CellAt(const GameRecord& record, int column, int row) {
  return record.Screen.Grid.Cell(column, row);
}

std::string GridRow(const GameRecord& record, int column, int row, int length) {
  std::string text;
  for (int i = 0; i < length; ++i) {
    const char ch = record.Screen.Grid.At(column + i, row);
    text += ch == '\0' ? '~' : ch;
  }
  return text;
}

Surface RenderedBackground(const TextGrid& grid) {
  Compositor reference(BuiltInGlyphSheet());
  reference.RedrawBackground(grid);
  return reference.PictureBackGround;
}

}  // namespace rallix::testing
