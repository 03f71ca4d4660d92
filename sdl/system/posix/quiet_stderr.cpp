#include "sdl/system/quiet_stderr.h"

#include <fcntl.h>
#include <sanitizer/common_interface_defs.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

// Only a program built with a sanitizer has this; in any other it is null.
#pragma weak __sanitizer_set_report_fd

namespace rallix {
namespace {

// Where a sanitizer's report goes: a crash while stderr is quiet must still
// be told.
void SendSanitizerReportsTo(int fd) {
  if (&__sanitizer_set_report_fd == nullptr)
    return;
  // The interface takes the descriptor in a pointer.
  void* descriptor =
      reinterpret_cast<void*>(static_cast<intptr_t>(fd));  // NOLINT(performance-no-int-to-ptr)
  __sanitizer_set_report_fd(descriptor);
}

bool SameFile(int a, int b) {
  struct stat first {};
  struct stat second {};
  return fstat(a, &first) == 0 && fstat(b, &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

}  // namespace

QuietStderr::QuietStderr() {
  std::fflush(stderr);
  saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
  if (saved_ < 0)
    return;
  null_ = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (null_ < 0 || dup2(null_, STDERR_FILENO) < 0) {
    close(saved_);
    saved_ = -1;
    return;
  }
  SendSanitizerReportsTo(saved_);
}

QuietStderr::~QuietStderr() {
  if (saved_ >= 0) {
    SendSanitizerReportsTo(STDERR_FILENO);
    std::fflush(stderr);
    if (SameFile(STDERR_FILENO, null_))
      dup2(saved_, STDERR_FILENO);
    close(saved_);
  }
  if (null_ >= 0)
    close(null_);
}

}  // namespace rallix
