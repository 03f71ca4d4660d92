#include "sdl/sdl_quiet_stderr.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace rallix {

QuietStderr::QuietStderr() {
  std::fflush(stderr);
  saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
  if (saved_ < 0)
    return;
  const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null < 0) {
    close(saved_);
    saved_ = -1;
    return;
  }
  dup2(null, STDERR_FILENO);
  close(null);
}

QuietStderr::~QuietStderr() {
  if (saved_ < 0)
    return;
  std::fflush(stderr);
  dup2(saved_, STDERR_FILENO);
  close(saved_);
}

}  // namespace rallix
