// Silences the process's stderr for a while: libraries under SDL print their
// own complaints there while SDL probes for a display or a sound card.
#pragma once

namespace rallix {

// While it lives, file descriptor 2 goes to /dev/null; its end restores it.
class QuietStderr {
 public:
  QuietStderr();
  ~QuietStderr();
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace rallix
