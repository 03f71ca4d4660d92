// The main of every test program: GoogleTest, with a watchdog that stops the
// program when one test runs past its deadline (tests/support/watchdog.h),
// saying which test it was and where the frame loop stood. The deadline is
// processor time, which a busy machine does not stretch: a game looping for
// ever uses it up in seconds. A test that waits without working is stopped
// when six times the deadline has passed on the clock.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>

#include "tests/support/watchdog.h"

namespace {

using Clock = std::chrono::steady_clock;

class Watchdog : public ::testing::EmptyTestEventListener {
 public:
  explicit Watchdog(int seconds) : deadline_(seconds), thread_([this] { Watch(); }) {}
  ~Watchdog() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_ = true;
    }
    woken_.notify_one();
    thread_.join();
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  void OnTestStart(const ::testing::TestInfo& test) override {
    std::lock_guard<std::mutex> lock(mutex_);
    test_ = std::string(test.test_suite_name()) + "." + test.name();
    started_ = Clock::now();
    started_cpu_ = std::clock();
    running_ = true;
    woken_.notify_one();
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    std::lock_guard<std::mutex> lock(mutex_);
    running_ = false;
  }

 private:
  // The processor time the program has used since the test began.
  std::chrono::duration<double> CpuTime() const {
    return std::chrono::duration<double>(static_cast<double>(std::clock() - started_cpu_) /
                                         CLOCKS_PER_SEC);
  }

  void Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!done_) {
      if (!running_) {
        woken_.wait(lock);
        continue;
      }
      const bool worked_too_long = CpuTime() >= deadline_;
      const bool waited_too_long = Clock::now() >= started_ + 6 * deadline_;
      if (!worked_too_long && !waited_too_long) {
        woken_.wait_for(lock, std::chrono::milliseconds(200));
        continue;
      }
      const int64_t pass = rallix::testing::LastFrameLoopPass();
      std::string where = "no scripted frame loop ran";
      if (pass >= 0) {
        where = "the frame loop was at pass " + std::to_string(pass);
        if (const int32_t state = rallix::testing::LastFrameLoopState())
          where += " in state " + std::to_string(state);
      }
      std::fprintf(
          stderr, "\n%s has %s, past its deadline: stopped (%s)\n", test_.c_str(),
          worked_too_long
              ? ("used " + std::to_string(deadline_.count()) + " s of processor time").c_str()
              : ("run for " + std::to_string(6 * deadline_.count()) + " s").c_str(),
          where.c_str());
      std::fflush(stderr);
      std::_Exit(1);
    }
  }

  const std::chrono::seconds deadline_;
  std::mutex mutex_;
  std::condition_variable woken_;
  std::string test_;
  Clock::time_point started_;
  std::clock_t started_cpu_ = 0;
  bool running_ = false;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listeners belong to GoogleTest once appended; this one goes with main.
  Watchdog watchdog(rallix::testing::TestDeadlineSeconds());
  ::testing::UnitTest::GetInstance()->listeners().Append(&watchdog);
  const int status = RUN_ALL_TESTS();
  ::testing::UnitTest::GetInstance()->listeners().Release(&watchdog);
  return status;
}
