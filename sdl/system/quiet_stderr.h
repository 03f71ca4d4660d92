// Silences the process's stderr for a while: libraries under SDL print their
// own complaints there while SDL probes for a display or a sound card. Each
// system has its own side: sdl_quiet_stderr_posix.cpp and
// sdl_quiet_stderr_windows.cpp.
#pragma once

namespace rallix {

// POSIX: while it lives, file descriptor 2 goes to /dev/null; its end
// restores it. A sanitizer's report (in a build with one) still goes to the
// real standard error meanwhile. Descriptor 2 must be the process's standard error, as
// PrepareProcess makes sure of; when it is not open, nothing is silenced. The
// end puts standard error back only over the /dev/null it put there, never
// over a descriptor that something else has put in its place meanwhile.
// Windows: nothing under SDL writes to standard error there, so it does
// nothing.
class QuietStderr {
 public:
  QuietStderr();
  ~QuietStderr();
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;  // standard error, while /dev/null stands in for it
  int null_ = -1;   // that /dev/null
};

}  // namespace rallix
