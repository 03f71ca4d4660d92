#include "sdl/system/process.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>

namespace rallix {

void PrepareProcess() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
      continue;
    // The lowest free descriptor is this one, since those below it are open.
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0 && null != fd) {
      dup2(null, fd);
      close(null);
    }
  }
  std::signal(SIGPIPE, SIG_IGN);
}

bool ProcessHasEnded(unsigned long process) {
  if (process == 0 || process > static_cast<unsigned long>(INT_MAX))
    return true;  // no process has such a number
  return kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH;
}

}  // namespace rallix
