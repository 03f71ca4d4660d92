// The launcher's faulty platform, headless: it raises its errors on the calls
// asked for, counted from 1, and reads those calls from its command line. The
// setups the launcher starts from, and the errors in the real window, are
// checked by the window tests that use them (close_states_test.py,
// fatal_error_test.py).
#include "tests/e2e/programs/faulty_platform.h"

#include <gtest/gtest.h>

#include <set>

#include "game/form_main.h"
#include "game/main_loop.h"
#include "tests/support/scripted_platform.h"

namespace rallix::e2e {
namespace {

TEST(FaultyPlatform, TheChosenSnapshotFailsAndTheLoopTrapsItsOneError) {
  testing::ScriptedPlatform inner;
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
