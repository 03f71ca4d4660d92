// Where a test program stands, for the watchdog of its main
// (tests/support/test_main.cpp): a test that runs past its deadline is stopped
// there, and the message names the test and the last pass of the frame loop
// it saw, so a game that loops for ever fails in seconds, not at ctest's
// timeout.
#pragma once

#include <cstdint>

namespace rallix::testing {

// Notes that a scripted frame loop began pass `pass`; `state` is the game's
// State when known, else 0.
void NoteFrameLoopPass(int64_t pass, int32_t state);
// The last pass noted, -1 before the first, and the State noted with it.
int64_t LastFrameLoopPass();
int32_t LastFrameLoopState();

// How much processor time a test may use before the watchdog stops its
// program: 10 s, three times that under the sanitizers, or
// RALLIX_TEST_DEADLINE seconds.
int TestDeadlineSeconds();

}  // namespace rallix::testing
