// The main of every test program: GoogleTest, with a watchdog that stops the
// program when one test runs past its deadline (tests/support/watchdog.h),
// saying which test it was and where the frame loop stood.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
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
    running_ = true;
    woken_.notify_one();
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    std::lock_guard<std::mutex> lock(mutex_);
    running_ = false;
  }

 private:
  void Watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!done_) {
      if (!running_) {
        woken_.wait(lock);
        continue;
      }
      const Clock::time_point end = started_ + deadline_;
      if (Clock::now() < end) {
        woken_.wait_until(lock, end);
        continue;
      }
      const int64_t pass = rallix::testing::LastFrameLoopPass();
      std::string where = "no scripted frame loop ran";
      if (pass >= 0) {
        where = "the frame loop was at pass " + std::to_string(pass);
        if (const int32_t state = rallix::testing::LastFrameLoopState())
          where += " in state " + std::to_string(state);
      }
      std::fprintf(stderr, "\n%s has run for %lld s, past its deadline: stopped (%s)\n",
                   test_.c_str(), static_cast<long long>(deadline_.count()), where.c_str());
      std::fflush(stderr);
      std::_Exit(1);
    }
  }

  const std::chrono::seconds deadline_;
  std::mutex mutex_;
  std::condition_variable woken_;
  std::string test_;
  Clock::time_point started_;
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
