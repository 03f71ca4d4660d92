// The desktop's millisecond clock and the frame loop's sleep on it. Each
// system has its own file behind this one interface (frame_clock_posix.cpp,
// frame_clock_windows.cpp); the build picks one.
#pragma once

#include <cstdint>

namespace rallix {

class FrameClock {
 public:
  // The clock's origin is the moment of construction.
  FrameClock();

  // Whole milliseconds on the system's monotonic clock since the origin, as
  // a 32-bit count seen as signed: it wraps after about 24.8 days, and the
  // frame loop compares its readings by signed difference.
  int32_t Milliseconds() const;
  // Sleeps, in one absolute wait on the same clock, until Milliseconds()
  // reads at least `deadline` (by signed difference); returns at once when
  // it already does. Neither spins nor naps.
  void SleepUntil(int32_t deadline) const;

 private:
  int64_t origin_ = 0;  // the system clock's reading at construction, in its own unit
};

}  // namespace rallix
