// A million rally frames with random keys and random settings: every width
// of both paddles, both speeds, every level and stages 1 to 5. Whenever a
// point ends the ball is served again. In all of them no run-time error may
// arise (the rally would trap it silently, so each frame is checked to have
// run all its steps), the paddles stay on the court, the walls stay in the
// grid and the ball stays where the walls can hold it.
//
// It prints the frames per second it reaches.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>

#include "base/run_time_error.h"
#include "tests/support/rally_court.h"

namespace rallix {
namespace {

// About half a second in the optimised build, a few seconds with the sanitizers.
constexpr int64_t kFrames = 1000000;

struct SoakCounts {
  int64_t frames = 0;
  int64_t points = 0;
  int64_t hits = 0;
  int64_t bounces = 0;
  int64_t misses = 0;
  int64_t failures = 0;  // frames that broke a rule; the first few are reported
  double min_x = 1e9;    // the ball's extreme x
  double max_x = -1e9;
};

class Soak {
 public:
  explicit Soak(uint32_t seed) : random_(seed) {}

  SoakCounts Run(int64_t frames);

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  void Serve();
  void ChooseKeys();
  void Fail(const std::string& what);
  void CheckFrame(double x_before, double y_before);

  std::mt19937 random_;
  testing::RallyCourt court_;
  SoakCounts counts_;
  bool tracking_ = false;  // this point's player follows the ball, with noise
  int keys_left_ = 0;      // frames the random keys are still held
};

void Soak::Serve() {
  GameRecord& r = court_.record();
  r.PlayerPaddleKind = static_cast<int16_t>(Pick(0, 2));
  r.ComPaddleKind = static_cast<int16_t>(Pick(0, 2));
  r.BallSpeed = static_cast<int16_t>(Pick(0, 1) == 0 ? 4 : 8);
  r.Level = static_cast<int16_t>(Pick(1, 5));
  r.Stage = static_cast<int16_t>(Pick(1, 5));
  r.ComPoints = 0;
  r.PlayerPoints = 0;
  tracking_ = Pick(0, 1) == 0;
  court_.platform.now = static_cast<int32_t>(random_());
  court_.form.ServeBall();
  ++counts_.points;
}

void Soak::ChooseKeys() {
  testing::ScriptedPlatform& platform = court_.platform;
  const GameRecord& r = court_.record();
  if (tracking_ && Pick(0, 9) != 0) {
    const int width = r.PlayerPaddles(r.PlayerPaddleKind).Width;
    const double centre = 16.0 * r.PlayerX + 8.0 * width;
    platform.held_keys.clear();
    if (r.BallX < centre - 12)
      platform.held_keys.push_back(kVkLeft);
    if (r.BallX > centre + 12)
      platform.held_keys.push_back(kVkRight);
    return;
  }
  if (--keys_left_ > 0)
    return;
  keys_left_ = Pick(1, 30);
  switch (Pick(0, 3)) {
    case 0:
      platform.held_keys.clear();
      break;
    case 1:
      platform.Hold({kVkLeft});
      break;
    case 2:
      platform.Hold({kVkRight});
      break;
    default:
      platform.Hold({kVkLeft, kVkRight});
      break;
  }
}

void Soak::Fail(const std::string& what) {
  if (++counts_.failures <= 5)
    ADD_FAILURE() << "frame " << counts_.frames << ": " << what;
}

void Soak::CheckFrame(double x_before, double y_before) {
  const GameRecord& r = court_.record();
  const PaddleKind& player = r.PlayerPaddles(r.PlayerPaddleKind);
  const PaddleKind& com = r.ComPaddles(r.ComPaddleKind);
  // All thirteen steps ran: both paddles queued blank and shape, the ball queued.
  if (r.Screen.PixelSprites.size() != 1 ||
      r.Screen.CellSprites.size() != static_cast<size_t>(2 * (player.Width + com.Width))) {
    Fail("a run-time error cut the frame short");
  }
  if (r.PlayerX < 1 || r.PlayerX > player.MaxX)
    Fail("PlayerX " + std::to_string(r.PlayerX));
  if (r.ComX < 1 || r.ComX > com.MaxX)
    Fail("ComX " + std::to_string(r.ComX));
  for (int row = 0; row <= 24; ++row) {
    if (r.Screen.Grid.At(0, row) != '|' || r.Screen.Grid.At(21, row) != '|') {
      Fail("wall lost in row " + std::to_string(row));
    }
  }
  if (std::fabs(std::hypot(r.BallVX, r.BallVY) - r.BallSpeed) > 1e-9)
    Fail("speed changed");
  // The walls: while the ball's row rounds to 0..24 (0 <= y <= 392) a ball
  // in the playing columns whose next x lies in a wall column is turned back
  // before it moves, so it stays within x 16..335. Below y = 392 nothing
  // turns it, but a falling ball goes down by at least 0.156 x BallSpeed a
  // frame (the flattest computer return is 9 degrees below the horizontal,
  // serves are steeper and nothing else sends it down), so it reaches the
  // goal at 400 within 13 frames and at most about 52 pixels sideways: it
  // never gets near the edge of the grid.
  if (y_before >= 0 && y_before <= 392 &&
      !(x_before >= 16 && x_before < 336 && r.BallX >= 16 && r.BallX < 336)) {
    Fail("ball left the court at y " + std::to_string(y_before));
  }
  if (!(r.BallX > -40 && r.BallX < 392))
    Fail("ball far outside at x " + std::to_string(r.BallX));
  counts_.min_x = std::min(counts_.min_x, r.BallX);
  counts_.max_x = std::max(counts_.max_x, r.BallX);
}

SoakCounts Soak::Run(int64_t frames) {
  GameRecord& r = court_.record();
  Serve();
  for (counts_.frames = 0; counts_.frames < frames; ++counts_.frames) {
    if (r.State != kStateRally)
      Serve();
    ChooseKeys();
    const double x_before = r.BallX;
    const double y_before = r.BallY;
    const int32_t com_points = r.ComPoints;
    try {
      court_.form.PlayRally();
    } catch (const RunTimeError& error) {
      Fail(std::string("run-time error out of the rally: ") + error.what());
    }
    CheckFrame(x_before, y_before);
    for (const testing::SoundEvent& event : court_.platform.sounds) {
      if (event.file == "pon.WAV")
        ++counts_.hits;
      if (event.file == "pin.WAV")
        ++counts_.bounces;
      if (event.file == "pupu.WAV")
        ++counts_.misses;
    }
    // A miss plays its sound once and counts once: its steps ran only once.
    if (r.ComPoints != com_points && r.ComPoints != com_points + 1)
      Fail("miss counted twice");
    court_.platform.sounds.clear();
    r.Screen.EmptyQueues();
  }
  return counts_;
}

TEST(RallySoak, RandomKeysAndSettingsNeverBreakTheCourt) {
  Soak soak(20261208);
  const auto start = std::chrono::steady_clock::now();
  const SoakCounts counts = soak.Run(kFrames);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(counts.failures, 0);
  // The soak must really play: many points, hits and bounces.
  EXPECT_GT(counts.points, kFrames / 1000);
  EXPECT_GT(counts.hits, kFrames / 200);
  EXPECT_GT(counts.bounces, kFrames / 200);
  std::printf(
      "[ rally soak ] %lld frames in %.2f s: %.0f frames per second; %lld points, %lld hits, "
      "%lld wall bounces, %lld misses; ball x from %.1f to %.1f\n",
      static_cast<long long>(counts.frames), seconds, counts.frames / seconds,
      static_cast<long long>(counts.points), static_cast<long long>(counts.hits),
      static_cast<long long>(counts.bounces), static_cast<long long>(counts.misses), counts.min_x,
      counts.max_x);
  ::testing::Test::RecordProperty("frames_per_second", static_cast<int>(counts.frames / seconds));
}

}  // namespace
}  // namespace rallix
