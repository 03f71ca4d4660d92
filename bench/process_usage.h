// What the running process has used so far, as the window probe reports it.
// Each system has its own side: process_usage_posix.cpp and
// process_usage_windows.cpp.
#pragma once

namespace rallix {

// Processor time, user and system, in seconds.
double CpuSeconds();
// Memory resident now, and the most so far, in megabytes (2^20 bytes).
double ResidentMegabytes();
double PeakResidentMegabytes();

}  // namespace rallix
