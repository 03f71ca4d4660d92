// Whole games from the title and back: a player that wins every stage, one
// that gives points away and still wins, and one that stands still and
// loses. The clock and the keys are fixed, so each game is the same every
// time; its stages and its score are worked out below from what it played.
// After a change to the rally, the computer player or the random numbers,
// work them out anew from the figures the test prints.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/autopilot.h"
#include "tests/support/game_session.h"

namespace rallix::testing {
namespace {

constexpr int64_t kPassLimit = 2'000'000;

// What a game went through, pass by pass, until it is back on the title.
struct GameLog {
  int64_t passes = 0;
  // "stage 1 won 5 to 0, bonus 10000": each stage-won screen, its bonus as
  // the grid holds it.
  std::vector<std::string> stages;
  std::string last_screen;  // as shown on the frame of the Space that left it
  bool back_on_title = false;
  double seconds = 0;
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
  const auto start = std::chrono::steady_clock::now();
  while (log.passes < kPassLimit) {
    const GameRecord before = session.Record();
    if (session.Run() != LoopEnd::kLimit)
      break;
    ++log.passes;
    const GameRecord& after = session.Record();
    if (before.State == kStatePlayerPoint && before.StateEntered != kFalse &&
        after.PlayerPoints == after.SetCount) {
      log.stages.push_back(
          "stage " + std::to_string(after.Stage) + " won " + std::to_string(after.PlayerPoints) +
          " to " + std::to_string(after.ComPoints) + ", bonus " + session.GridText(11, 16, 5));
    }
    if (before.State == kStateGameEnd && after.State == kStateTitle) {
      log.last_screen = session.Shows(3, 12, "YOU ARE CHAMPION") ? "YOU ARE CHAMPION"
                        : session.Shows(6, 12, "GAME OVER")      ? "GAME OVER"
                                                                 : "?";
      session.Run();  // the title's first frame
      log.back_on_title = session.Record().State == kStateTitle;
      break;
    }
  }
  log.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("[ figures  ] %lld passes (%.1f minutes of play) in %.2f s, score %d\n",
              static_cast<long long>(log.passes), log.passes / 3600.0, log.seconds,
              session.Record().Score);
  for (const std::string& stage : log.stages)
    std::printf("[ figures  ]   %s\n", stage.c_str());
  return log;
}

TEST(WholeGame, AnAimingPlayerWinsAllFiveStages) {
  GameSession session;
  Autopilot pilot;
  ScriptPlayer(session, [&pilot](const GameRecord& r, KeySnapshot& keys) { pilot.Steer(r, keys); });
  const GameLog log = PlayOneGame(session);

  ASSERT_EQ(log.last_screen, "YOU ARE CHAMPION");
  ASSERT_TRUE(log.back_on_title);
  // Every stage won 5 to 0: a bonus of (5 + 5 - 0) x 1000 x the stage.
  EXPECT_EQ(log.stages, (std::vector<std::string>{
                            "stage 1 won 5 to 0, bonus 10000", "stage 2 won 5 to 0, bonus 20000",
                            "stage 3 won 5 to 0, bonus 30000", "stage 4 won 5 to 0, bonus 40000",
                            "stage 5 won 5 to 0, bonus 50000"}));
  // 25 points of 100 and 150000 of bonus. The title shows the finished
  // game's panel until the next game.
  EXPECT_EQ(session.Record().Score, 152500);
  EXPECT_EQ(session.GridText(6, 13, 10), "GAME START");
  EXPECT_TRUE(session.Shows(23, 3, " 152500"));
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
  const GameLog log = PlayOneGame(session);

  ASSERT_EQ(log.last_screen, "YOU ARE CHAMPION");
  // Every stage won 7 to 3: (7 + 7 - 3) x 1000 = 11000 times the stage.
  EXPECT_EQ(log.stages, (std::vector<std::string>{
                            "stage 1 won 7 to 3, bonus 11000", "stage 2 won 7 to 3, bonus 22000",
                            "stage 3 won 7 to 3, bonus 33000", "stage 4 won 7 to 3, bonus 44000",
                            "stage 5 won 7 to 3, bonus 55000"}));
  // 35 points of 100 and 11000 x (1 + 2 + 3 + 4 + 5) = 165000 of bonus.
  EXPECT_EQ(r.Score, 168500);
}

TEST(WholeGame, APlayerWhoStandsStillLosesAndReturnsToTheTitle) {
  GameSession session;
  ScriptPlayer(session, [](const GameRecord&, KeySnapshot&) {});
  const GameLog log = PlayOneGame(session);

  ASSERT_EQ(log.last_screen, "GAME OVER");
  ASSERT_TRUE(log.back_on_title);
  EXPECT_TRUE(log.stages.empty());
  // The panel of the game lost 0 to 5 stays on the title; "GAME OVER" is gone.
  EXPECT_EQ(session.GridText(23, 3, 7), "      0");
  EXPECT_EQ(session.GridText(25, 8, 5), "    5");
  EXPECT_EQ(session.GridText(25, 16, 5), "    0");
  EXPECT_EQ(session.FieldRow(12), "                    ");
}

}  // namespace
}  // namespace rallix::testing
