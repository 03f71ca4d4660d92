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
  const int fd = open(part_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    reason = SystemReason();
    return false;
  }
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

bool DemoFileSink::ClosePart(std::string& reason) {
  const int fd = descriptor_;
  descriptor_ = -1;
  open_ = false;
  const bool synced = fsync(fd) == 0 || errno == EINVAL;
  if (!synced)
    reason = SystemReason();
  const bool closed = close(fd) == 0 || errno == EINTR;
  if (synced && !closed)
    reason = SystemReason();
  return synced && closed;
}

bool DemoFileSink::ReplaceWithPart(std::string& reason) {
  if (rename(part_path_.c_str(), path_.c_str()) == 0)
    return true;
  reason = SystemReason();
  return false;
}

void DemoFileSink::RemovePart() {
  unlink(part_path_.c_str());
}

}  // namespace rallix
