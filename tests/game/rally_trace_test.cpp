// Whole points played frame by frame through the frame loop, from the title
// screen on, with a fixed clock and a fixed player, compared line by line
// with a recorded trace. Any change in the rally's numbers (a rounding, a
// precision, the order of the random draws, a window of the hit test) shows
// up as a changed line.
//
// After a deliberate change, record the traces anew and review their diff:
//
//   RALLIX_UPDATE_GOLDEN=1 build/<dir>/tests/test_rally_trace
//
// which rewrites tests/data/rally_trace_*.txt in the source tree.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/form_main.h"
#include "game/main_loop.h"
#include "tests/support/scripted_platform.h"

namespace rallix {
namespace {

using testing::ScriptedPlatform;
using testing::SoundEvent;

struct Scenario {
  const char* name;
  int frames;
  int16_t ball_speed;
  int16_t level;
  int16_t set_count;
  int16_t player_kind;
  int16_t com_kind;
};

// The player: Space whenever a screen waits for it (pressed and released in
// turn), and in a rally the paddle steered under a falling ball, except in
// every third point and once a point has lasted 200 frames: then it steers
// out of the ball's way. Now and then it holds both keys.
class Player {
 public:
  explicit Player(const GameRecord& record) : r_(record) {}

  void Keys(int64_t snapshot, KeySnapshot& keys) {
    const auto hold = [&keys](uint8_t key) { keys[key] = kKeyDownBit; };
    if (r_.State != kStateRally) {
      if (snapshot % 6 < 3)
        hold(kVkSpace);
      return;
    }
    const int32_t points = r_.PlayerPoints + r_.ComPoints;
    if (points != points_seen_ || r_.Stage != stage_seen_) {
      points_seen_ = points;
      stage_seen_ = r_.Stage;
      frames_in_point_ = 0;
    }
    ++frames_in_point_;
    if (snapshot % 37 == 0) {
      hold(kVkLeft);
      hold(kVkRight);
      return;
    }
    if (r_.BallVY < 0)
      return;
    const int width = r_.PlayerPaddles(r_.PlayerPaddleKind).Width;
    const double centre = 16.0 * r_.PlayerX + 8.0 * width;
    if (points % 3 == 2 || frames_in_point_ > 200) {
      hold(r_.BallX < centre ? kVkRight : kVkLeft);  // out of the ball's way
      return;
    }
    if (r_.BallX < centre - 10)
      hold(kVkLeft);
    if (r_.BallX > centre + 10)
      hold(kVkRight);
  }

 private:
  const GameRecord& r_;
  int32_t points_seen_ = -1;
  int16_t stage_seen_ = -1;
  int frames_in_point_ = 0;
};

std::string SoundText(const std::vector<SoundEvent>& sounds, size_t from) {
  std::string text;
  for (size_t i = from; i < sounds.size(); ++i) {
    if (!text.empty())
      text += ',';
    switch (sounds[i].kind) {
      case SoundEvent::Kind::kAsync:
        text += "+" + sounds[i].file;
        break;
      case SoundEvent::Kind::kSync:
        text += "=" + sounds[i].file;
        break;
      case SoundEvent::Kind::kStop:
        text += "stop";
        break;
    }
  }
  return text.empty() ? "." : text;
}

// Plays the scenario and returns its trace, one line per frame.
std::string PlayTrace(const Scenario& scenario, bool& trapped) {
  ScriptedPlatform platform;
  platform.sync_sound_ms = 650;
  FormMain form(platform);
  GameRecord& r = form.Record;
  r.BallSpeed = scenario.ball_speed;
  r.Level = scenario.level;
  r.SetCount = scenario.set_count;
  r.PlayerPaddleKind = scenario.player_kind;
  r.ComPaddleKind = scenario.com_kind;
  Player player(r);
  platform.key_script = [&player](int64_t snapshot, KeySnapshot& keys) {
    player.Keys(snapshot, keys);
  };
  std::ostringstream trace;
  trace << "# frame state stage BallX BallY BallVX BallVY PlayerX ComX ComPoints "
           "PlayerPoints Score sounds\n";
  // Each pass begins with the message pump: the record then holds what the
  // last pass left, and the sounds since the last pump are that pass's.
  size_t sounds_seen = 0;
  platform.on_messages = [&](int64_t pass) {
    if (pass == 0)
      return;
    char line[512];
    std::snprintf(line, sizeof line, "%lld %d %d %.17g %.17g %.17g %.17g %d %d %d %d %d %s\n",
                  static_cast<long long>(pass), r.State, r.Stage, r.BallX, r.BallY, r.BallVX,
                  r.BallVY, r.PlayerX, r.ComX, r.ComPoints, r.PlayerPoints, r.Score,
                  SoundText(platform.sounds, sounds_seen).c_str());
    sounds_seen = platform.sounds.size();
    trace << line;
  };
  MainLoop loop(form, platform);
  loop.Run(scenario.frames + 1);
  trapped = loop.TrapSpent();
  return trace.str();
}

std::string GoldenPath(const Scenario& scenario) {
  return std::string(RALLIX_SOURCE_DIR) + "/tests/data/rally_trace_" + scenario.name + ".txt";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

class RallyTrace : public ::testing::TestWithParam<Scenario> {};

TEST_P(RallyTrace, MatchesTheRecordedTrace) {
  const Scenario& scenario = GetParam();
  bool trapped = false;
  const std::string actual = PlayTrace(scenario, trapped);
  EXPECT_FALSE(trapped) << "a run-time error reached the frame loop";

  const char* update = std::getenv("RALLIX_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1") {
    std::ofstream(GoldenPath(scenario), std::ios::binary) << actual;
    GTEST_SKIP() << "recorded " << GoldenPath(scenario);
  }

  std::ifstream in(GoldenPath(scenario), std::ios::binary);
  ASSERT_TRUE(in) << "no recorded trace at " << GoldenPath(scenario)
                  << "; record it with RALLIX_UPDATE_GOLDEN=1";
  std::stringstream golden;
  golden << in.rdbuf();
  if (golden.str() == actual)
    return;

  const std::string actual_path =
      std::string(RALLIX_BINARY_DIR) + "/rally_trace_" + scenario.name + ".actual.txt";
  std::ofstream(actual_path, std::ios::binary) << actual;
  const std::vector<std::string> want = Lines(golden.str());
  const std::vector<std::string> got = Lines(actual);
  size_t i = 0;
  while (i < want.size() && i < got.size() && want[i] == got[i])
    ++i;
  ADD_FAILURE() << "the trace differs from line " << i + 1
                << "\n  recorded: " << (i < want.size() ? want[i] : "(end)")
                << "\n  played:   " << (i < got.size() ? got[i] : "(end)")
                << "\nwhole trace written to " << actual_path;
}

// Checks on the scenario itself, so that the trace keeps covering what it is
// meant to: hits on both sides, wall bounces, points for both sides.
TEST_P(RallyTrace, CoversHitsBouncesAndPointsForBothSides) {
  bool trapped = false;
  const std::string trace = PlayTrace(GetParam(), trapped);
  int player_hits = 0;
  int computer_hits = 0;
  int bounces = 0;
  int misses = 0;
  int player_points = 0;
  for (const std::string& line : Lines(trace)) {
    if (line[0] == '#')
      continue;
    std::istringstream in(line);
    int frame = 0;
    int state = 0;
    int stage = 0;
    double x = 0;
    double y = 0;
    std::string rest;
    in >> frame >> state >> stage >> x >> y;
    std::getline(in, rest);
    if (rest.find("+pon.WAV") != std::string::npos)
      ++(y > 200 ? player_hits : computer_hits);
    if (rest.find("+pin.WAV") != std::string::npos)
      ++bounces;
    if (rest.find("=pupu.WAV") != std::string::npos)
      ++misses;
    if (rest.find("=pipopin.WAV") != std::string::npos)
      ++player_points;
  }
  EXPECT_GE(player_hits, 3);
  EXPECT_GE(computer_hits, 3);
  EXPECT_GE(bounces, 3);
  EXPECT_GE(misses, 2);
  EXPECT_GE(player_points, 1);
}

INSTANTIATE_TEST_SUITE_P(Games, RallyTrace,
                         ::testing::Values(Scenario{"default", 1200, 8, 1, 5, 1, 1},
                                           Scenario{"slow_wide", 1200, 4, 3, 3, 2, 0}),
                         [](const ::testing::TestParamInfo<Scenario>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace rallix
