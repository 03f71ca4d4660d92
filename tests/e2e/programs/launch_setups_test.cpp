// The launcher's pieces, headless: the prepared games reach the states they
// promise, and the faulty platform raises its errors where asked, so that the
// loop's one trap and the program's report can be seen in the real window.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/run_time_error.h"
#include "game/form_main.h"
#include "game/main_loop.h"
#include "game/mod_main.h"
#include "tests/e2e/programs/faulty_platform.h"
#include "tests/e2e/programs/launch_setups.h"
#include "tests/support/game_session.h"
#include "tests/support/screen_text.h"
#include "tests/support/scripted_platform.h"

namespace rallix::e2e {
namespace {

using testing::GridText;
using testing::ScriptedPlatform;
using Kind = testing::SoundEvent::Kind;

// The game prepared as `setup`, then run for `passes` passes.
struct Launched : testing::GameSession {
  explicit Launched(const std::string& setup, int64_t passes) {
    EXPECT_TRUE(PrepareSetup(setup, form));
    Run(passes);
  }
};

TEST(LaunchSetups, TheOneFrameStatesHoldUntilTheGameRunsInTheForeground) {
  Launched new_game("new-game", 0);
  EXPECT_EQ(new_game.form.Record.State, kStateNewGame);
  new_game.platform.foreground = false;
  new_game.loop.Run(5);
  EXPECT_EQ(new_game.form.Record.State, kStateNewGame) << "nothing runs in the background";
  new_game.platform.foreground = true;
  new_game.loop.Run(1);
  EXPECT_EQ(new_game.form.Record.State, kStateServe);

  Launched serve("serve", 0);
  EXPECT_EQ(serve.form.Record.State, kStateServe);
  EXPECT_EQ(GridText(serve.form.Record.Screen.Grid, 0, 0, 22), "|                    |");
  serve.loop.Run(1);
  EXPECT_EQ(serve.form.Record.State, kStateRally);
}

TEST(LaunchSetups, TheMissPlaysItsSoundAndServesAgainOrEndsTheGame) {
  Launched miss("miss", 40);
  ASSERT_EQ(miss.platform.sounds.size(), 2u) << "no paddle or wall on the way down";
  EXPECT_EQ(miss.platform.sounds[0].kind, Kind::kStop);
  EXPECT_EQ(miss.platform.sounds[1].kind, Kind::kSync);
  EXPECT_EQ(miss.platform.sounds[1].file, "pupu.WAV");
  EXPECT_EQ(miss.form.Record.ComPoints, 1);
  EXPECT_EQ(miss.form.Record.State, kStateRally) << "served again";

  Launched over("game-over", 40);
  EXPECT_EQ(over.platform.SoundFiles(), std::vector<std::string>{"pupu.WAV"});
  EXPECT_EQ(over.form.Record.State, kStateGameEnd);
  EXPECT_EQ(over.form.Record.ComPoints, over.form.Record.SetCount);
  EXPECT_EQ(GridText(over.form.Record.Screen.Grid, 6, 12, 9), "GAME OVER");
}

TEST(LaunchSetups, TheStageWonScreenWaitsForSpace) {
  Launched won("stage-won", 30);
  EXPECT_EQ(won.platform.SoundFiles(), std::vector<std::string>{"pipopin.WAV"});
  EXPECT_EQ(won.form.Record.State, kStatePlayerPoint);
  EXPECT_EQ(GridText(won.form.Record.Screen.Grid, 7, 12, 7), "YOU WIN");
  EXPECT_EQ(won.form.Record.Score, 500 + 10000);
  FormMain unknown(won.platform);
  EXPECT_FALSE(PrepareSetup("no-such-setup", unknown));
}

TEST(FaultyPlatform, OneErrorIsTrappedAndTheSecondEndsTheProgramWithItsReport) {
  ScriptedPlatform inner;
  FaultPlan plan;
  plan.failing_snapshots = {5};
  FaultyPlatform once(inner, plan);
  FormMain form(once);
  MainLoop loop(form, once);
  EXPECT_EQ(loop.Run(20), LoopEnd::kLimit);
  EXPECT_TRUE(loop.TrapSpent());
  EXPECT_EQ(once.ErrorsRaised(), 1);
  EXPECT_EQ(once.Snapshots(), 20) << "the title reads the keys once a frame";
  EXPECT_EQ(once.Presentations(), 19) << "the failing pass shows no frame";

  ScriptedPlatform twice_inner;
  twice_inner.on_messages = [&](int64_t pass) { twice_inner.close_requested = pass >= 50; };
  plan.failing_snapshots = {5, 9};
  FaultyPlatform twice(twice_inner, plan);
  EXPECT_EQ(Main(twice), 1);
  EXPECT_EQ(twice_inner.fatal_errors, std::vector<std::string>{"Run-time error '6': Overflow"});
  EXPECT_EQ(twice.Passes(), 9) << "the program ends in the pass of the second error";
}

TEST(FaultyPlatform, AnErrorInTheFirstPassIsNeverTrapped) {
  ScriptedPlatform inner;
  FaultPlan plan;
  plan.failing_presentations = {1};
  FaultyPlatform platform(inner, plan);
  EXPECT_EQ(Main(platform), 1);
  EXPECT_EQ(inner.fatal_errors,
            std::vector<std::string>{"Run-time error '9': Subscript out of range"});
  EXPECT_EQ(inner.frames_presented, 0);
}

TEST(FaultyPlatform, InTheBackgroundNothingRunsButTheCloseRequestEndsTheLoop) {
  ScriptedPlatform inner;
  FaultPlan plan;
  plan.background = true;
  FaultyPlatform platform(inner, plan);
  FormMain form(platform);
  ASSERT_TRUE(PrepareSetup("new-game", form));
  MainLoop loop(form, platform);
  EXPECT_EQ(loop.Run(10), LoopEnd::kLimit);
  EXPECT_EQ(form.Record.State, kStateNewGame);
  EXPECT_EQ(inner.frames_presented, 0);
  inner.close_requested = true;
  EXPECT_EQ(loop.Run(10), LoopEnd::kClosed);
  EXPECT_EQ(platform.Passes(), 11);
}

TEST(FaultyPlatform, CallNumbersAreReadFromAList) {
  std::set<int64_t> numbers;
  EXPECT_TRUE(ParseCallNumbers("3,40,41", numbers));
  EXPECT_EQ(numbers, (std::set<int64_t>{3, 40, 41}));
  for (const char* bad : {"", "0", "3,", "-1", "x", "1,,2", "99999999999999"}) {
    std::set<int64_t> none;
    EXPECT_FALSE(ParseCallNumbers(bad, none)) << bad;
  }
}

}  // namespace
}  // namespace rallix::e2e
