#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "sdl/demo/file.h"

namespace rallix {
namespace {

std::string SystemReason() {
  return std::strerror(errno);
}

// Why a file of this kind is not a demo file, or nothing when it can be.
std::string NotAFile(const struct stat& info) {
  if (S_ISDIR(info.st_mode))
    return "it is a folder";
  return S_ISREG(info.st_mode) ? "" : "it is not a regular file";
}

// Locks that belong to an open file, where the system has them: a second
// recorder in the same process sees the first's too.
#ifdef F_OFD_SETLK
constexpr int kSetLock = F_OFD_SETLK;
constexpr int kTestLock = F_OFD_GETLK;
#else
constexpr int kSetLock = F_SETLK;
constexpr int kTestLock = F_GETLK;
#endif

// A write lock on the whole file.
struct flock WholeFile() {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  return lock;
}

// What the file `part`, whose lstat is `info`, is to a recorder. It is
// opened only when it is a regular file, to read its lock, never waiting.
PartFileFound PartThere(const std::string& part, const struct stat& info) {
  if (S_ISDIR(info.st_mode))
    return PartFileFound::kFolder;
  if (!S_ISREG(info.st_mode))
    return PartFileFound::kNotAFile;
  const int fd = open(part.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
  struct flock lock = WholeFile();
  const bool locked = fd >= 0 && fcntl(fd, kTestLock, &lock) == 0 && lock.l_type != F_UNLCK;
  if (fd >= 0)
    close(fd);
  return locked ? PartFileFound::kRecording : PartFileFound::kUnfinished;
}

}  // namespace

DemoFileBytes ReadDemoFile(const std::string& path, size_t most_bytes) {
  DemoFileBytes read;
  // O_NONBLOCK: a named pipe in the file's place must not hold the program.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    read.error = SystemReason();
    return read;
  }
  struct stat info {};
  if (fstat(fd, &info) != 0)
    read.error = SystemReason();
  else
    read.error = NotAFile(info);
  uint8_t buffer[64 * 1024];
  while (read.error.empty() && read.bytes.size() <= most_bytes) {
    const size_t wanted = std::min(sizeof buffer, most_bytes + 1 - read.bytes.size());
    const ssize_t n = ::read(fd, buffer, wanted);
    if (n == 0)
      break;
    if (n > 0)
      read.bytes.insert(read.bytes.end(), buffer, buffer + n);
    else if (errno != EINTR)
      read.error = SystemReason();
  }
  close(fd);
  if (!read.error.empty())
    read.bytes.clear();
  return read;
}

bool DemoFileSink::CreatePart(std::string& reason) {
  struct stat info {};
  if (stat(path_.c_str(), &info) == 0 && !NotAFile(info).empty()) {
    reason = NotAFile(info);
    return false;
  }
  if (lstat(part_path_.c_str(), &info) == 0) {
    reason = Refusal(PartThere(part_path_, info));
    return false;
  }
  // O_EXCL: whatever comes to be there meanwhile is not opened, followed or
  // truncated.
  const int fd =
      open(part_path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0) {
    reason = SystemReason();
    return false;
  }
  // The lock tells another recorder that this one is at work. Where the file
  // system keeps no locks, it is told of an unfinished recording instead:
  // refused all the same.
  struct flock lock = WholeFile();
  fcntl(fd, kSetLock, &lock);
  descriptor_ = fd;
  open_ = true;
  return true;
}

bool DemoFileSink::WritePart(const std::vector<uint8_t>& piece, std::string& reason) {
  size_t done = 0;
  while (done < piece.size()) {
    const ssize_t n = write(descriptor_, piece.data() + done, piece.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      reason = n < 0 ? SystemReason() : "nothing could be written";
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// Nothing is written after the cut. A part that cannot be cut ends in a
// piece cut short, which a reader takes for where the recording stopped.
void DemoFileSink::CutPart(size_t size) {
  while (ftruncate(descriptor_, static_cast<off_t>(size)) != 0 && errno == EINTR) {
  }
}

bool DemoFileSink::SyncPart(std::string& reason) {
  if (fsync(descriptor_) == 0)
    return true;
  reason = SystemReason();
  return false;
}

// Renamed while it is still locked: another recorder never finds it unlocked.
bool DemoFileSink::ReplaceWithPart(std::string& reason) {
  if (rename(part_path_.c_str(), path_.c_str()) == 0)
    return true;
  reason = SystemReason();
  return false;
}

void DemoFileSink::ClosePart() {
  if (!open_)
    return;
  open_ = false;
  close(descriptor_);
  descriptor_ = -1;
}

void DemoFileSink::RemovePart() {
  unlink(part_path_.c_str());
}

}  // namespace rallix
