#include "tests/support/watchdog.h"

#include <atomic>
#include <cstdlib>

namespace rallix::testing {
namespace {

std::atomic<int64_t> last_pass{-1};
std::atomic<int32_t> last_state{0};

}  // namespace

void NoteFrameLoopPass(int64_t pass, int32_t state) {
  last_pass.store(pass, std::memory_order_relaxed);
  last_state.store(state, std::memory_order_relaxed);
}

int64_t LastFrameLoopPass() {
  return last_pass.load(std::memory_order_relaxed);
}

int32_t LastFrameLoopState() {
  return last_state.load(std::memory_order_relaxed);
}

int TestDeadlineSeconds() {
  if (const char* text = std::getenv("RALLIX_TEST_DEADLINE")) {
    const int seconds = std::atoi(text);
    if (seconds > 0)
      return seconds;
  }
#if defined(__SANITIZE_ADDRESS__)
  return 30;
#else
  return 10;
#endif
}

}  // namespace rallix::testing
