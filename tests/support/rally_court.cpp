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

std::optional<int> AngleOf(FormMain& form, double vx, double vy) {
  // 0 degrees is up, 90 left: the direction of (vx, -vy) turned back by 90.
  const double degrees = std::atan2(-vy, vx) * 180 / std::acos(-1.0) - 90;
  const int nearest = static_cast<int>((std::lround(degrees) % 360 + 360) % 360);
  for (const int angle : {nearest, nearest + 360}) {
    double x = 0;
    double y = 0;
    form.SetBallAngle(static_cast<int16_t>(angle), x, y);
    if (x == vx && y == vy)
      return angle;
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

Surface RenderedBackground(const TextGrid& grid) {
  Compositor reference(BuiltInGlyphSheet());
  reference.RedrawBackground(grid);
  return reference.PictureBackGround;
}

}  // namespace rallix::testing
