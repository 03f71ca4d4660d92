// The frame clock on POSIX: CLOCK_MONOTONIC, which clock_nanosleep can sleep
// on with an absolute deadline (SDL's tick count may run on
// CLOCK_MONOTONIC_RAW, which it cannot).
#include <time.h>

#include <cerrno>

#include "sdl/system/frame_clock.h"

namespace rallix {
namespace {

constexpr int64_t kNanosecondsPerMillisecond = 1000000;
constexpr int64_t kNanosecondsPerSecond = 1000000000;

int64_t MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

}  // namespace

FrameClock::FrameClock() : origin_(MonotonicNanoseconds()) {}

int32_t FrameClock::Milliseconds() const {
  const int64_t elapsed = (MonotonicNanoseconds() - origin_) / kNanosecondsPerMillisecond;
  // Through 32 unsigned bits: the count wraps instead of overflowing.
  return static_cast<int32_t>(static_cast<uint32_t>(elapsed));
}

void FrameClock::SleepUntil(int32_t deadline) const {
  const int64_t elapsed_ms = (MonotonicNanoseconds() - origin_) / kNanosecondsPerMillisecond;
  const auto now = static_cast<uint32_t>(elapsed_ms);
  const auto ahead = static_cast<int32_t>(static_cast<uint32_t>(deadline) - now);
  if (ahead <= 0)
    return;
  // The first nanosecond at which Milliseconds() reads `deadline`.
  const int64_t wake = origin_ + (elapsed_ms + ahead) * kNanosecondsPerMillisecond;
  timespec until{};
  until.tv_sec = static_cast<time_t>(wake / kNanosecondsPerSecond);
  until.tv_nsec = static_cast<long>(wake % kNanosecondsPerSecond);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
  }
}

}  // namespace rallix
