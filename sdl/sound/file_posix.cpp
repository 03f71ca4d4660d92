#include "sdl/sound/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace rallix {
namespace {

// Closes the descriptor however the read ends.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0)
      close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

SoundFileStamp StampOf(const struct stat& info) {
  SoundFileStamp stamp;
  stamp.device = static_cast<uint64_t>(info.st_dev);
  stamp.inode = static_cast<uint64_t>(info.st_ino);
  stamp.size = static_cast<int64_t>(info.st_size);
  stamp.modified_seconds = static_cast<int64_t>(info.st_mtim.tv_sec);
  stamp.modified_nanoseconds = static_cast<int64_t>(info.st_mtim.tv_nsec);
  return stamp;
}

}  // namespace

std::optional<SoundFileStamp> StampSoundFile(const std::string& path) {
  struct stat info {};
  if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
    return std::nullopt;
  return StampOf(info);
}

std::optional<std::vector<uint8_t>> ReadSoundFile(const std::string& path, size_t max_bytes,
                                                  SoundFileStamp* stamp) {
  if (path.empty())
    return std::nullopt;
  // O_NONBLOCK: a named pipe in place of the file must not hold the game.
  FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (file.get() < 0)
    return std::nullopt;
  struct stat info {};
  if (fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
    return std::nullopt;
  std::optional<std::vector<uint8_t>> bytes =
      ReadOpenSoundFile(info.st_size, max_bytes, [&file](uint8_t* at, size_t wanted) {
        ssize_t n = 0;
        do {
          n = read(file.get(), at, wanted);
        } while (n < 0 && errno == EINTR);
        return static_cast<int64_t>(n);
      });
  if (!bytes)
    return std::nullopt;
  if (stamp != nullptr)
    *stamp = StampOf(info);
  return bytes;
}

}  // namespace rallix
