// Whole games from the title and back: a player that wins every stage, and
// one that stands still and loses.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/number_text.h"
#include "tests/support/autopilot.h"
#include "tests/support/game_session.h"

namespace rallix::testing {
namespace {

constexpr int64_t kPassLimit = 2'000'000;

struct StageWon {
  int16_t stage;
  int32_t com_points;
  int32_t bonus;
};

// The score a game reaches by the rules: 100 for each of the player's points
// and (2 x SetCount - ComPoints) x Stage x 1000 for each stage won.
int64_t ScoreByTheRules(int64_t player_points, int16_t set_count,
                        const std::vector<StageWon>& stages) {
  int64_t score = 100 * player_points;
  for (const StageWon& won : stages) {
    score += (2 * set_count - won.com_points) * won.stage * 1000;
  }
  return score;
}

// What a game went through, pass by pass, until it is back on the title.
struct GameLog {
  int64_t passes = 0;
  int64_t player_points = 0;
  int64_t com_points = 0;
  std::vector<StageWon> stages;
  bool champion = false;
  bool game_over = false;
  bool back_on_title = false;
  std::string final_message;
  std::vector<std::string> problems;
};

// Space goes down and up on alternate readings, so every screen that waits
// for it sees a fresh press within two frames; in a rally the player plays.
template <typename Player>
void ScriptPlayer(GameSession& session, Player player) {
  session.platform.key_script = [&session, player, space = false](int64_t,
                                                                  KeySnapshot& keys) mutable {
    const GameRecord& r = session.Record();
    if (r.State == kStateRally) {
      player(r, keys);
      return;
    }
    space = !space;
    if (space)
      keys[kVkSpace] = kKeyDownBit;
  };
}

// Plays from the title's "GAME START" until the finished game's title screen.
GameLog PlayOneGame(GameSession& session) {
  GameLog log;
  int32_t highest = session.Record().HiScore;
  while (log.passes < kPassLimit) {
    const GameRecord before = session.Record();
    if (session.Run() != LoopEnd::kLimit) {
      log.problems.push_back("the program ended");
      break;
    }
    ++log.passes;
    const GameRecord& after = session.Record();
    if (after.HiScore < highest)
      log.problems.push_back("HiScore fell");
    highest = after.HiScore;
    if (before.State != kStateTitle && after.HiScore != std::max(30000, after.Score)) {
      log.problems.push_back("HiScore " + std::to_string(after.HiScore) + " with Score " +
                             std::to_string(after.Score));
    }
    if (before.State == kStateRally && after.ComPoints == before.ComPoints + 1) {
      ++log.com_points;
    }
    if (before.State == kStatePlayerPoint && before.StateEntered != kFalse) {
      ++log.player_points;
      const int32_t gained = after.Score - before.Score;
      if (after.PlayerPoints < after.SetCount) {
        if (gained != 100)
          log.problems.push_back("a point gave " + std::to_string(gained));
      } else {
        const int32_t bonus = gained - 100;
        log.stages.push_back({after.Stage, after.ComPoints, bonus});
        if (session.GridText(11, 16, 5) != RightAligned(PlainDecimal(bonus), 5)) {
          log.problems.push_back("bonus field " + session.GridText(11, 16, 5));
        }
      }
    }
    if (before.State != kStateGameEnd && after.State == kStateGameEnd) {
      log.champion = session.GridText(3, 12, 16) == "YOU ARE CHAMPION";
      log.game_over = session.GridText(6, 12, 9) == "GAME OVER";
    }
    if (before.State == kStateGameEnd && after.State == kStateTitle) {
      // The frame of the press still shows the last screen of the game.
      log.final_message = log.champion ? "YOU ARE CHAMPION" : "GAME OVER";
      if (!session.Shows(log.champion ? 3 : 6, 12, log.final_message)) {
        log.problems.push_back("the last screen was not on show");
      }
      session.Run();  // the title's first frame
      log.back_on_title = session.Record().State == kStateTitle;
      break;
    }
  }
  return log;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(WholeGame, AnAimingPlayerWinsAllFiveStagesAndScoresByTheRules) {
  GameSession session;
  Autopilot pilot;
  ScriptPlayer(session, [&pilot](const GameRecord& r, KeySnapshot& keys) { pilot.Steer(r, keys); });

  const auto start = std::chrono::steady_clock::now();
  const GameLog log = PlayOneGame(session);
  const double seconds = SecondsSince(start);

  for (const std::string& problem : log.problems)
    ADD_FAILURE() << problem;
  ASSERT_TRUE(log.champion) << "stages won: " << log.stages.size();
  ASSERT_TRUE(log.back_on_title);
  ASSERT_EQ(log.stages.size(), 5u);
  const GameRecord& r = session.Record();
  for (size_t i = 0; i < log.stages.size(); ++i) {
    const StageWon& won = log.stages[i];
    EXPECT_EQ(won.stage, static_cast<int16_t>(i + 1));
    EXPECT_EQ(won.bonus, (2 * r.SetCount - won.com_points) * won.stage * 1000) << "stage " << i + 1;
  }
  EXPECT_EQ(log.player_points, 5 * r.SetCount);
  EXPECT_EQ(r.Score, ScoreByTheRules(log.player_points, r.SetCount, log.stages));
  EXPECT_EQ(r.HiScore, r.Score);

  // The title shows the finished game's panel until the next game.
  EXPECT_EQ(r.MenuCursor, 0);
  EXPECT_EQ(session.GridText(6, 13, 10), "GAME START");
  EXPECT_EQ(session.GridText(23, 3, 7), RightAligned(PlainDecimal(r.Score), 7));
  EXPECT_EQ(session.GridText(25, 16, 5), RightAligned(PlainDecimal(r.SetCount), 5));
  EXPECT_TRUE(session.Shows(23, 3, RightAligned(PlainDecimal(r.Score), 7)));

  std::printf(
      "[ figures  ] winning game: %lld passes (%.1f minutes of play), %.2f s, "
      "%lld player points, %lld computer points, %lld plans, score %d\n",
      static_cast<long long>(log.passes), log.passes / 60.0 / 60.0, seconds,
      static_cast<long long>(log.player_points), static_cast<long long>(log.com_points),
      static_cast<long long>(pilot.Plans()), r.Score);
  for (const StageWon& won : log.stages) {
    std::printf("[ figures  ]   stage %d won %d to %d, bonus %d\n", won.stage, r.SetCount,
                won.com_points, won.bonus);
  }
}

// The menu's items are stepped with Space from their defaults.
void ChooseSettings(GameSession& session, const std::vector<int>& presses_per_item) {
  session.Press({kVkDown});
  session.Press({kVkSpace});  // "CONFIG"
  for (int presses : presses_per_item) {
    for (int press = 0; press < presses; ++press)
      session.Press({kVkSpace});
    session.Press({kVkDown});
  }
  session.Press({kVkSpace});  // "EXIT"
  session.platform.ReleaseAll();
}

TEST(WholeGame, APlayerWhoGivesAwayPointsStillWinsAndEachBonusCountsThem) {
  GameSession session;
  // SET COUNT 7, LEVEL 3, BALL SPEED 4, the short player paddle, the long
  // computer paddle.
  ChooseSettings(session, {2, 2, 1, 2, 1});
  const GameRecord& r = session.Record();
  ASSERT_EQ(r.SetCount, 7);
  ASSERT_EQ(r.Level, 3);
  ASSERT_EQ(r.BallSpeed, 4);
  ASSERT_EQ(r.PlayerPaddleKind, 0);
  ASSERT_EQ(r.ComPaddleKind, 2);

  // The player stands still until the computer has three points in the stage.
  Autopilot pilot;
  ScriptPlayer(session, [&pilot](const GameRecord& record, KeySnapshot& keys) {
    if (record.ComPoints >= 3)
      pilot.Steer(record, keys);
  });
  const auto start = std::chrono::steady_clock::now();
  const GameLog log = PlayOneGame(session);
  const double seconds = SecondsSince(start);

  for (const std::string& problem : log.problems)
    ADD_FAILURE() << problem;
  ASSERT_TRUE(log.champion) << "stages won: " << log.stages.size();
  ASSERT_EQ(log.stages.size(), 5u);
  for (const StageWon& won : log.stages) {
    EXPECT_GE(won.com_points, 3);
    EXPECT_EQ(won.bonus, (14 - won.com_points) * won.stage * 1000) << "stage " << won.stage;
  }
  EXPECT_EQ(log.player_points, 5 * 7);
  EXPECT_EQ(r.Score, ScoreByTheRules(log.player_points, 7, log.stages));
  EXPECT_EQ(r.HiScore, r.Score);

  std::printf("[ figures  ] game with points given away: %lld passes, %.2f s, score %d\n",
              static_cast<long long>(log.passes), seconds, r.Score);
  for (const StageWon& won : log.stages) {
    std::printf("[ figures  ]   stage %d won 7 to %d, bonus %d\n", won.stage, won.com_points,
                won.bonus);
  }
}

TEST(WholeGame, APlayerWhoStandsStillLosesAndReturnsToTheTitle) {
  GameSession session;
  ScriptPlayer(session, [](const GameRecord&, KeySnapshot&) {});

  const auto start = std::chrono::steady_clock::now();
  const GameLog log = PlayOneGame(session);
  const double seconds = SecondsSince(start);

  for (const std::string& problem : log.problems)
    ADD_FAILURE() << problem;
  ASSERT_TRUE(log.game_over);
  ASSERT_TRUE(log.back_on_title);
  const GameRecord& r = session.Record();
  EXPECT_EQ(r.ComPoints, r.SetCount);
  EXPECT_LT(r.PlayerPoints, r.SetCount);
  EXPECT_EQ(r.Score, ScoreByTheRules(log.player_points, r.SetCount, log.stages));
  // The panel of the lost game stays on the title.
  EXPECT_EQ(session.GridText(25, 8, 5), RightAligned(PlainDecimal(r.SetCount), 5));
  EXPECT_EQ(session.GridText(23, 3, 7), RightAligned(PlainDecimal(r.Score), 7));
  EXPECT_EQ(session.FieldRow(12), "                    ");  // "GAME OVER" is gone

  std::printf("[ figures  ] lost game: %lld passes, %.2f s, %lld player points in %zu stages won\n",
              static_cast<long long>(log.passes), seconds,
              static_cast<long long>(log.player_points), log.stages.size());
}

}  // namespace
}  // namespace rallix::testing
