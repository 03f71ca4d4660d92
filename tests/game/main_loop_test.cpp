// The frame loop: foreground pauses, state changes, its one error trap and
// the pacing of passes against the millisecond clock.
#include "game/main_loop.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "base/run_time_error.h"
#include "game/form_main.h"
#include "game/mod_main.h"
#include "tests/support/game_session.h"
#include "tests/support/screen_text.h"
#include "tests/support/scripted_platform.h"

namespace rallix {
namespace {

using testing::ScriptedPlatform;

class MainLoopTest : public ::testing::Test, public testing::GameSession {
 protected:
  MainLoopTest() {
    // The clock reading at the start of every pass (the clock stands still
    // between reads, so this is the pass's start).
    platform.on_messages = [this](int64_t pass) {
      starts.push_back(platform.now);
      if (before_messages)
        before_messages(pass);
    };
  }
  void Passes(int64_t n) { ASSERT_EQ(loop.Run(n), LoopEnd::kLimit); }
  // Makes the title's handler overflow on its next frame: the mark's row,
  // 13 + 2 x MenuCursor, no longer fits 16 bits.
  void BreakTitle() { form.Record.MenuCursor = 20000; }

  std::vector<int32_t> starts;
  std::function<void(int64_t)> before_messages;
};

TEST_F(MainLoopTest, NothingRunsOrIsDrawnWhileAnotherWindowIsInFront) {
  // Into a rally: title, Space on "GAME START", new game, serve, rally frames.
  platform.key_script = [](int64_t snapshot, KeySnapshot& keys) {
    if (snapshot == 1)
      keys[kVkSpace] = kKeyDownBit;
  };
  Passes(12);
  ASSERT_EQ(form.Record.State, kStateRally);
  // A twin that never loses the foreground.
  ScriptedPlatform twin_platform;
  twin_platform.key_script = platform.key_script;
  FormMain twin(twin_platform);
  MainLoop twin_loop(twin, twin_platform);
  twin_loop.Run(12);

  const GameRecord paused = form.Record;
  const int64_t frames = platform.frames_presented;
  const int64_t snapshots = platform.snapshots_taken;
  platform.foreground = false;
  // Keys pressed and released while in the background.
  platform.key_script = nullptr;
  before_messages = [this](int64_t pass) {
    platform.held_keys =
        pass % 2 ? std::vector<uint8_t>{kVkLeft, kVkSpace} : std::vector<uint8_t>{};
  };
  Passes(20);
  EXPECT_EQ(form.Record, paused);
  EXPECT_EQ(platform.frames_presented, frames);
  EXPECT_EQ(platform.snapshots_taken, snapshots);
  // The passes went on, one every 17 ms.
  ASSERT_EQ(starts.size(), 32u);
  EXPECT_EQ(starts[31] - starts[12], 19 * 17);

  // Back in front, the rally picks up exactly where it stood.
  before_messages = nullptr;
  platform.held_keys.clear();
  platform.foreground = true;
  Passes(3);
  twin_loop.Run(3);
  EXPECT_EQ(form.Record, twin.Record);
  EXPECT_EQ(platform.last_frame, twin_platform.last_frame);
  EXPECT_EQ(platform.frames_presented, frames + 3);
}

TEST_F(MainLoopTest, APassThatChangesStateStillShowsItsFrame) {
  platform.key_script = [](int64_t snapshot, KeySnapshot& keys) {
    if (snapshot == 1)
      keys[kVkDown] = kKeyDownBit;
    if (snapshot == 3)
      keys[kVkSpace] = kKeyDownBit;
  };
  Passes(4);  // the fourth pass chooses "CONFIG"
  EXPECT_EQ(form.Record.State, kStateConfig);
  EXPECT_EQ(form.Record.StateEntered, kTrue);
  EXPECT_EQ(platform.frames_presented, 4);
  EXPECT_EQ(testing::ScreenText(platform.last_frame, form.Pictures.PictureSprite, 5, 15, 7),
            ">CONFIG");
  // The next pass runs the configuration menu's entry step.
  Passes(1);
  EXPECT_EQ(GridText(3, 10, 9), "SET COUNT");
  EXPECT_EQ(testing::ScreenText(platform.last_frame, form.Pictures.PictureSprite, 3, 10, 9),
            "SET COUNT");
  EXPECT_EQ(form.Record.StateEntered, kFalse);
}

TEST_F(MainLoopTest, AStateWithoutHandlerOnlyComposesTheFrame) {
  Passes(1);
  for (int32_t state : {0, 8, -1}) {
    form.Record.State = state;
    form.PutSprite("O", 100, 100);
    const GameRecord before = form.Record;
    const int64_t frames = platform.frames_presented;
    Passes(1);
    EXPECT_EQ(platform.frames_presented, frames + 1);
    EXPECT_EQ(form.Record.Screen.PixelSpriteCount, 0);
    GameRecord expected = before;
    expected.Screen.EmptyQueues();
    EXPECT_EQ(form.Record, expected);
  }
}

TEST_F(MainLoopTest, TheFirstTrappedErrorAbandonsItsPassAndTheSecondEndsTheLoop) {
  Passes(2);
  ASSERT_TRUE(loop.TrapArmed());
  const size_t sleeps = platform.sleep_deadlines.size();
  BreakTitle();
  Passes(1);  // trapped
  EXPECT_TRUE(loop.TrapSpent());
  EXPECT_FALSE(loop.TrapArmed());
  EXPECT_EQ(platform.frames_presented, 2);             // no frame in the failed pass
  EXPECT_EQ(platform.sleep_deadlines.size(), sleeps);  // and no pacing wait
  // What the handler changed before the error stays changed.
  EXPECT_EQ(form.Record.MenuCursor, 20000);
  // The game goes on once the fault is gone...
  form.Record.MenuCursor = 0;
  Passes(3);
  EXPECT_EQ(platform.frames_presented, 5);
  EXPECT_FALSE(loop.TrapArmed());
  // ...but the trap is spent: the next error leaves the loop.
  BreakTitle();
  EXPECT_THROW(loop.Run(1), RunTimeError);
  EXPECT_EQ(platform.frames_presented, 5);
  ASSERT_EQ(starts.size(), 7u);
  EXPECT_EQ(starts[3], starts[2]);  // the failed pass did not wait
}

TEST(MainProgram, AnErrorInTheFirstPassIsNotTrappedAndEndsTheProgramWithItsReport) {
  ScriptedPlatform platform;
  platform.on_messages = [](int64_t pass) {
    if (pass == 0)
      RaiseOverflow();
  };
  EXPECT_EQ(Main(platform), 1);
  EXPECT_EQ(platform.fatal_errors, std::vector<std::string>{"Run-time error '6': Overflow"});
  EXPECT_EQ(platform.frames_presented, 0);
}

TEST(MainProgram, TheSecondErrorEndsTheProgram) {
  ScriptedPlatform platform;
  platform.on_messages = [](int64_t pass) {
    if (pass == 3)
      RaiseOverflow();
    if (pass == 7)
      RaiseSubscriptOutOfRange();
  };
  EXPECT_EQ(Main(platform), 1);
  EXPECT_EQ(platform.passes, 8);
  EXPECT_EQ(platform.frames_presented, 6);  // passes 0-2 and 4-6
  EXPECT_EQ(platform.fatal_errors,
            std::vector<std::string>{"Run-time error '9': Subscript out of range"});
}

TEST(MainProgram, ClosingTheWindowEndsTheProgramAtOnce) {
  ScriptedPlatform platform;
  platform.on_messages = [&platform](int64_t pass) { platform.close_requested = pass == 2; };
  EXPECT_EQ(Main(platform), 0);
  EXPECT_EQ(platform.passes, 3);
  EXPECT_EQ(platform.frames_presented, 2);
  EXPECT_EQ(platform.snapshots_taken, 2);  // no handler in the closing pass
  EXPECT_TRUE(platform.fatal_errors.empty());
}

TEST(MainProgram, OtherFailuresAreReportedToo) {
  ScriptedPlatform platform;
  platform.on_messages = [](int64_t pass) {
    if (pass == 1)
      throw std::runtime_error("out of video memory");
  };
  EXPECT_EQ(Main(platform), 1);
  EXPECT_EQ(platform.fatal_errors, std::vector<std::string>{"out of video memory"});
}

TEST_F(MainLoopTest, APassEndsAtTheFirstClockReadingOfStartPlus17) {
  Passes(4);
  EXPECT_EQ(starts, (std::vector<int32_t>{1000, 1017, 1034, 1051}));
  EXPECT_EQ(platform.now, 1068);
  // One sleep per pass, to the deadline itself.
  EXPECT_EQ(platform.sleep_deadlines, (std::vector<int32_t>{1017, 1034, 1051, 1068}));
  // With a clock that moves on by itself at every reading, the wait still
  // ends as soon as a reading reaches start + 17.
  platform.tick_per_read = 1;
  starts.clear();
  Passes(3);
  ASSERT_EQ(starts.size(), 3u);
  for (size_t i = 1; i < starts.size(); ++i) {
    EXPECT_GE(starts[i] - starts[i - 1], 17);
    EXPECT_LE(starts[i] - starts[i - 1], 19);  // a sleep past the target is at most one tick
  }
  // Across the wrap of the 32-bit count, the deadline wraps too.
  platform.tick_per_read = 0;
  platform.now = INT32_MAX - 5;
  platform.sleep_deadlines.clear();
  starts.clear();
  Passes(1);
  EXPECT_EQ(platform.sleep_deadlines, (std::vector<int32_t>{INT32_MIN + 11}));
}

TEST_F(MainLoopTest, ALongPassIsFollowedAtOnceByTheNext) {
  Passes(1);
  const size_t sleeps = platform.sleep_deadlines.size();
  before_messages = [this](int64_t) { platform.now += 30; };  // the pass takes 30 ms
  Passes(1);
  EXPECT_EQ(platform.sleep_deadlines.size(), sleeps);
  before_messages = nullptr;
  Passes(1);
  EXPECT_EQ(starts, (std::vector<int32_t>{1000, 1017, 1047}));
}

TEST_F(MainLoopTest, AClockThatGoesBackwardsEndsTheWaitAtOnce) {
  Passes(1);
  const size_t sleeps = platform.sleep_deadlines.size();
  before_messages = [this](int64_t) { platform.now -= 5; };
  Passes(1);
  EXPECT_EQ(platform.sleep_deadlines.size(), sleeps);
  before_messages = nullptr;
  Passes(1);
  EXPECT_EQ(starts, (std::vector<int32_t>{1000, 1017, 1012}));
}

}  // namespace
}  // namespace rallix
