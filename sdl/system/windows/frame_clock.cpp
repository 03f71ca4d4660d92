// The frame clock on Windows: the performance counter for the clock, and a
// waitable timer for the sleep. A timer made with
// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION (Windows 10, version 1803 and later)
// is not bound to the system's timer tick; where the flag is not known, a
// plain timer is, and the tick is raised to a millisecond for it.
#include "sdl/system/frame_clock.h"

#include <windows.h>
// After windows.h:
#include <mmsystem.h>

namespace rallix {
namespace {

// CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, which mingw-w64's headers do not
// name yet.
constexpr DWORD kHighResolutionTimer = 0x00000002;

constexpr int64_t kMillisecondsPerSecond = 1000;
constexpr int64_t kTimerUnitsPerSecond = 10000000;  // a waitable timer counts 100 ns

int64_t Counter() {
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// Counts per second; fixed while the system runs.
int64_t Frequency() {
  static const int64_t frequency = [] {
    LARGE_INTEGER counts{};
    QueryPerformanceFrequency(&counts);
    return counts.QuadPart;
  }();
  return frequency;
}

// `counts` of the performance counter in whole units of which `per_second`
// make a second, rounded down, without overflowing for centuries.
int64_t CountsIn(int64_t counts, int64_t per_second) {
  const int64_t frequency = Frequency();
  return counts / frequency * per_second + counts % frequency * per_second / frequency;
}

// The one timer the frame loop sleeps on, made when it first sleeps; null if
// none could be made.
HANDLE FrameTimer() {
  static const HANDLE timer = [] {
    HANDLE made = CreateWaitableTimerExW(nullptr, nullptr, kHighResolutionTimer, TIMER_ALL_ACCESS);
    if (made == nullptr) {
      timeBeginPeriod(1);
      made = CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS);
    }
    return made;
  }();
  return timer;
}

}  // namespace

FrameClock::FrameClock() : origin_(Counter()) {}

int32_t FrameClock::Milliseconds() const {
  const int64_t elapsed = CountsIn(Counter() - origin_, kMillisecondsPerSecond);
  // Through 32 unsigned bits: the count wraps instead of overflowing.
  return static_cast<int32_t>(static_cast<uint32_t>(elapsed));
}

void FrameClock::SleepUntil(int32_t deadline) const {
  for (;;) {
    const int64_t now = Counter();
    const int64_t elapsed_ms = CountsIn(now - origin_, kMillisecondsPerSecond);
    const auto ahead =
        static_cast<int32_t>(static_cast<uint32_t>(deadline) - static_cast<uint32_t>(elapsed_ms));
    if (ahead <= 0)
      return;
    // The first count at which Milliseconds() reads `deadline`, as a wait
    // from now in the timer's units, rounded up. The timer has no clock of
    // its own to be given a moment on, so the moment becomes a due time
    // relative to now; it never fires early, and in case the two clocks
    // disagree by a count, the loop sleeps again for what is left.
    const int64_t wake_ms = elapsed_ms + ahead;
    const int64_t frequency = Frequency();
    const int64_t wake =
        origin_ + wake_ms / kMillisecondsPerSecond * frequency +
        (wake_ms % kMillisecondsPerSecond * frequency + kMillisecondsPerSecond - 1) /
            kMillisecondsPerSecond;
    const int64_t wait = -(CountsIn(wake - now, kTimerUnitsPerSecond) + 1);
    HANDLE timer = FrameTimer();
    LARGE_INTEGER due{};
    due.QuadPart = wait;  // negative: relative to now
    if (timer != nullptr && SetWaitableTimer(timer, &due, 0, nullptr, nullptr, FALSE) != 0) {
      WaitForSingleObject(timer, INFINITE);
    } else {
      Sleep(static_cast<DWORD>(ahead));
    }
  }
}

}  // namespace rallix
