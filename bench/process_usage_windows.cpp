// On Windows: the process's times in 100 ns units, and its working set.
#include "bench/process_usage.h"

#include <windows.h>
// After windows.h:
#include <psapi.h>

namespace rallix {
namespace {

double Seconds(const FILETIME& time) {
  const ULONGLONG units = static_cast<ULONGLONG>(time.dwHighDateTime) << 32 |
                          static_cast<ULONGLONG>(time.dwLowDateTime);
  return static_cast<double>(units) / 1e7;
}

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

}  // namespace

double CpuSeconds() {
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user) == 0)
    return 0;
  return Seconds(kernel) + Seconds(user);
}

double ResidentMegabytes() {
  return static_cast<double>(Memory().WorkingSetSize) / 1048576.0;
}

double PeakResidentMegabytes() {
  return static_cast<double>(Memory().PeakWorkingSetSize) / 1048576.0;
}

}  // namespace rallix
