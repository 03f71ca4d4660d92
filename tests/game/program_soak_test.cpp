// The whole program under a quarter of a million frames of random keys: menus, games,
// stage ends and game ends, with the game record's invariants checked after
// every frame, and in the rallies the court's: the paddles on the court, the
// walls in the grid, the ball at its speed and where the walls hold it, and
// every frame played to its end.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/run_time_error.h"
#include "game/form_main.h"
#include "game/main_loop.h"
#include "tests/support/autopilot.h"
#include "tests/support/scripted_platform.h"

namespace rallix::testing {
namespace {

// A quarter of a million frames: some minutes of play, every state many times
// over, in a few seconds (a sanitizer build takes a fifth of them).
#if defined(__SANITIZE_ADDRESS__)
constexpr int64_t kFrames = 50'000;
#else
constexpr int64_t kFrames = 250'000;
#endif

constexpr uint64_t kSeed = 20240611;

// A headless platform that keeps no frames: the soak reads the record. A
// rally frame shows both paddles, blank and shape, and the ball: the rally
// traps its own run-time errors, and one cuts its frame short silently.
class SoakPlatform : public ScriptedPlatform {
 public:
  void Present(const Surface&) override {
    ++frames_presented;
    const GameRecord& r = *record;
    const auto paddles = static_cast<size_t>(
        2 * (r.PlayerPaddles(r.PlayerPaddleKind).Width + r.ComPaddles(r.ComPaddleKind).Width));
    if (rally_pass && (r.Screen.PixelSprites.size() != 1 || r.Screen.CellSprites.size() != paddles))
      ++frames_cut_short;
  }

  const GameRecord* record = nullptr;
  bool rally_pass = false;  // the pass runs the rally's handler
  int64_t frames_cut_short = 0;
};

// Random presses and releases of the five keys, weighted by the screen so
// that games get started and played and the menus get visited. In a rally
// the autopilot holds the paddle keys for most points.
class RandomKeys {
 public:
  explicit RandomKeys(uint64_t seed) : random_(seed) {}

  void Fill(const GameRecord& r, KeySnapshot& keys) {
    switch (r.State) {
      case kStateTitle:
        Toggle(kUp, 0.08);
        Toggle(kDown, 0.08);
        Toggle(kSpace, 0.3);
        SteerAwayFromQuit(r);
        break;
      case kStateConfig:
        Toggle(kUp, 0.15);
        Toggle(kDown, 0.15);
        Toggle(kSpace, 0.15);
        break;
      case kStateRally:
        PlayRally(r, keys);
        break;
      default:  // the bonus and game-end screens
        Toggle(kSpace, 0.2);
        Toggle(kUp, 0.05);
        Toggle(kDown, 0.05);
        break;
    }
    const uint8_t codes[] = {kVkSpace, kVkLeft, kVkUp, kVkRight, kVkDown};
    for (int key = 0; key < 5; ++key) {
      if (down_[key])
        keys[codes[key]] = kKeyDownBit;
    }
  }

  int64_t quits_allowed = 0;

 private:
  enum Key { kSpace, kLeft, kUp, kRight, kDown };

  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
  void Toggle(Key key, double p) {
    if (Chance(p))
      down_[key] = !down_[key];
  }

  // A press of Space that would land on "QUIT GAME" is mostly held back, so
  // the soak spends its frames playing; now and then one goes through.
  void SteerAwayFromQuit(const GameRecord& r) {
    int cursor = r.MenuCursor;
    if (down_[kUp] && r.KeyLatchUp == kFalse)
      --cursor;
    if (down_[kDown] && r.KeyLatchDown == kFalse)
      ++cursor;
    if (cursor > 2)
      cursor = 0;
    if (cursor < 0)
      cursor = 2;
    const bool space_edge = down_[kSpace] && r.KeyLatchSpace == kFalse;
    if (cursor == 2 && space_edge) {
      if (Chance(0.1)) {
        ++quits_allowed;
      } else {
        down_[kSpace] = false;
      }
    }
  }

  void PlayRally(const GameRecord& r, KeySnapshot& keys) {
    const int64_t point = (int64_t{r.Stage} * 100 + r.PlayerPoints) * 100 + r.ComPoints;
    if (point != last_point_) {
      // Each game gets a weak or a strong player; the autopilot plays its
      // share of the points.
      if (r.Stage == 1 && r.PlayerPoints == 0 && r.ComPoints == 0)
        skill_ = Chance(0.35) ? 0.3 : 0.9;
      last_point_ = point;
      piloted_ = Chance(skill_);
    }
    Toggle(kSpace, 0.02);
    Toggle(kUp, 0.02);
    Toggle(kDown, 0.02);
    if (piloted_) {
      down_[kLeft] = false;
      down_[kRight] = false;
      KeySnapshot steer{};
      pilot_.Steer(r, steer);
      down_[kLeft] = IsKeyDown(steer, kVkLeft);
      down_[kRight] = IsKeyDown(steer, kVkRight);
      (void)keys;
    } else {
      Toggle(kLeft, 0.1);
      Toggle(kRight, 0.1);
    }
  }

  std::mt19937_64 random_;
  bool down_[5] = {false, false, false, false, false};
  Autopilot pilot_;
  int64_t last_point_ = -1;
  bool piloted_ = true;
  double skill_ = 0.9;
};

// What the soak saw.
struct SoakCounts {
  int64_t frames = 0;
  int64_t games = 0;
  int64_t config_visits = 0;
  int64_t settings_changed = 0;
  int64_t player_points = 0;
  int64_t com_points = 0;
  int64_t stages_won = 0;
  int64_t champions = 0;
  int64_t games_lost = 0;
  int64_t program_ends = 0;
  int32_t best_score = 0;
  int64_t violations = 0;
  std::vector<std::string> first_violations;
};

bool SettingsEqual(const GameRecord& a, const GameRecord& b) {
  return a.SetCount == b.SetCount && a.Level == b.Level && a.BallSpeed == b.BallSpeed &&
         a.PlayerPaddleKind == b.PlayerPaddleKind && a.ComPaddleKind == b.ComPaddleKind;
}

// Checks the record after one pass whose handler was that of `ran`.
void CheckInvariants(const GameRecord& before, const GameRecord& r, const MainLoop& loop,
                     SoakCounts& counts) {
  auto fail = [&](const std::string& what) {
    ++counts.violations;
    if (counts.first_violations.size() < 10) {
      counts.first_violations.push_back("frame " + std::to_string(counts.frames) + ", state " +
                                        std::to_string(before.State) + " -> " +
                                        std::to_string(r.State) + ": " + what);
    }
  };
  const int32_t ran = before.State;
  if (r.State < 1 || r.State > 7)
    fail("State out of 1..7");
  if ((ran >= 2 && ran <= 6) || (r.State >= 3 && r.State <= 6)) {
    if (r.Stage < 1 || r.Stage > 5)
      fail("Stage " + std::to_string(r.Stage));
  }
  if (r.State == kStateServe || r.State == kStateRally) {
    if (r.PlayerPoints < 0 || r.PlayerPoints >= r.SetCount)
      fail("PlayerPoints in a stage");
    if (r.ComPoints < 0 || r.ComPoints >= r.SetCount)
      fail("ComPoints in a stage");
  }
  // SetCount holds still from a game's start to its end; between games the
  // configuration may lower it below the last game's counts.
  if (r.State >= kStateServe && r.State <= kStatePlayerPoint &&
      (r.PlayerPoints > r.SetCount || r.ComPoints > r.SetCount)) {
    fail("points above SetCount");
  }
  if (r.Score < 0 || r.Score % 100 != 0)
    fail("Score " + std::to_string(r.Score));
  if (ran == kStateTitle && r.State != kStateConfig && (r.MenuCursor < 0 || r.MenuCursor > 2)) {
    fail("title MenuCursor " + std::to_string(r.MenuCursor));
  }
  if (r.State == kStateConfig && (r.MenuCursor < 0 || r.MenuCursor > 5)) {
    fail("configuration MenuCursor " + std::to_string(r.MenuCursor));
  }
  if (ran == kStateConfig && r.State == kStateTitle && r.MenuCursor != 5)
    fail("EXIT not at 5");
  if (r.SetCount < 2 || r.SetCount > 10)
    fail("SetCount");
  if (r.Level < 1 || r.Level > 5)
    fail("Level");
  if (r.BallSpeed != 4 && r.BallSpeed != 8)
    fail("BallSpeed");
  if (r.PlayerPaddleKind < 0 || r.PlayerPaddleKind > 2)
    fail("PlayerPaddleKind");
  if (r.ComPaddleKind < 0 || r.ComPaddleKind > 2)
    fail("ComPaddleKind");
  if (r.State == kStateRally) {
    if (r.PlayerX < 1 || r.PlayerX > r.PlayerPaddles(r.PlayerPaddleKind).MaxX)
      fail("PlayerX");
    if (r.ComX < 1 || r.ComX > r.ComPaddles(r.ComPaddleKind).MaxX)
      fail("ComX");
    if (std::fabs(std::hypot(r.BallVX, r.BallVY) - r.BallSpeed) > 1e-9)
      fail("the ball's speed changed");
    for (int row = 0; row <= 24; ++row) {
      if (r.Screen.Grid.At(0, row) != '|' || r.Screen.Grid.At(21, row) != '|')
        fail("wall lost in row " + std::to_string(row));
    }
  }
  if (ran == kStateRally) {
    // While the ball's row rounds to 0..24 (0 <= y <= 392) a ball whose next
    // x lies in a wall column is turned back before it moves, so it stays
    // within x 16..335. Below y = 392 nothing turns it, but a falling ball
    // goes down by at least 0.156 x BallSpeed a frame (the flattest return
    // is 9 degrees below the horizontal, serves are steeper), so it reaches
    // the goal at 400 within 13 frames and at most about 52 pixels sideways.
    const auto in_court = [](double x) { return x >= 16 && x < 336; };
    if (before.BallY >= 0 && before.BallY <= 392 && !(in_court(before.BallX) && in_court(r.BallX)))
      fail("ball left the court at y " + std::to_string(before.BallY));
    if (!(r.BallX > -40 && r.BallX < 392))
      fail("ball far outside at x " + std::to_string(r.BallX));
    if (r.ComPoints > before.ComPoints + 1)
      fail("a miss counted twice");
  }
  if (r.Screen.CellSpriteCount != 0 || r.Screen.PixelSpriteCount != 0)
    fail("queues not empty");
  if (loop.TrapSpent())
    fail("a run-time error was trapped");
}

void Count(const GameRecord& before, const GameRecord& r, SoakCounts& counts) {
  if (before.State == kStateNewGame)
    ++counts.games;
  if (before.State == kStateTitle && r.State == kStateConfig)
    ++counts.config_visits;
  if (before.State == kStateConfig && !SettingsEqual(before, r))
    ++counts.settings_changed;
  if (before.State == kStatePlayerPoint && before.StateEntered != kFalse) {
    ++counts.player_points;
    if (r.PlayerPoints >= r.SetCount)
      ++counts.stages_won;
    if (r.State == kStateGameEnd)
      ++counts.champions;
  }
  if (before.State == kStateRally && r.ComPoints == before.ComPoints + 1) {
    ++counts.com_points;
    if (r.State == kStateGameEnd)
      ++counts.games_lost;
  }
  if (r.Score > counts.best_score)
    counts.best_score = r.Score;
}

TEST(ProgramSoak, FramesOfRandomKeysKeepTheRecordSound) {
  SoakPlatform platform;
  RandomKeys random_keys(kSeed);
  auto form = std::make_unique<FormMain>(platform);
  auto loop = std::make_unique<MainLoop>(*form, platform);
  platform.key_script = [&](int64_t, KeySnapshot& keys) { random_keys.Fill(form->Record, keys); };
  platform.on_messages = [&](int64_t) {
    platform.record = &form->Record;
    platform.rally_pass = form->Record.State == kStateRally && platform.foreground;
  };

  SoakCounts counts;
  const auto start = std::chrono::steady_clock::now();
  while (counts.frames < kFrames) {
    const GameRecord before = form->Record;
    LoopEnd end = LoopEnd::kLimit;
    try {
      end = loop->Run(1);
    } catch (const RunTimeError& error) {
      FAIL() << "run-time error at frame " << counts.frames << ": " << error.what();
    }
    ++counts.frames;
    if (end == LoopEnd::kClosed) {
      // "QUIT GAME": the program ends; the soak starts it again.
      ++counts.program_ends;
      form = std::make_unique<FormMain>(platform);
      loop = std::make_unique<MainLoop>(*form, platform);
      continue;
    }
    if (platform.frames_cut_short > 0)
      FAIL() << "a run-time error cut the rally frame short at frame " << counts.frames;
    CheckInvariants(before, form->Record, *loop, counts);
    Count(before, form->Record, counts);
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  EXPECT_EQ(counts.violations, 0);
  for (const std::string& violation : counts.first_violations)
    ADD_FAILURE() << violation;
  EXPECT_EQ(counts.program_ends, random_keys.quits_allowed);
  EXPECT_GT(counts.games, 0);
  EXPECT_GT(counts.config_visits, 0);
  EXPECT_GT(counts.settings_changed, 0);
  EXPECT_GT(counts.stages_won, 0);
  EXPECT_GT(counts.games_lost, 0);

  std::printf("[ figures  ] soak: %lld frames in %.2f s, %.0f frames per second (seed %llu)\n",
              static_cast<long long>(counts.frames), seconds, counts.frames / seconds,
              static_cast<unsigned long long>(kSeed));
  std::printf(
      "[ figures  ] soak: %lld games, %lld lost, %lld champions, %lld stages won, "
      "%lld player points, %lld computer points, best score %d\n",
      static_cast<long long>(counts.games), static_cast<long long>(counts.games_lost),
      static_cast<long long>(counts.champions), static_cast<long long>(counts.stages_won),
      static_cast<long long>(counts.player_points), static_cast<long long>(counts.com_points),
      counts.best_score);
  std::printf(
      "[ figures  ] soak: %lld configuration visits (%lld settings changes), "
      "%lld program ends by \"QUIT GAME\"\n",
      static_cast<long long>(counts.config_visits), static_cast<long long>(counts.settings_changed),
      static_cast<long long>(counts.program_ends));
}

}  // namespace
}  // namespace rallix::testing
