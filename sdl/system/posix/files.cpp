// The player's small files on POSIX: O_EXCL for a file that must be new,
// fsync and rename(2) for one that takes another's place, and flock(2) on
// the folder for writers that must take turns.
#include "sdl/system/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace rallix {
namespace {

std::string ErrnoText(int number = errno) {
  return std::strerror(number);
}

// Writes all of `bytes` to `fd` and flushes them to the disk.
bool WriteWhole(int fd, const void* data, size_t size, std::string& error) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = write(fd, bytes + done, size - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      error = n < 0 ? ErrnoText() : "nothing could be written";
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0 && errno != EINVAL) {
    error = ErrnoText();
    return false;
  }
  return true;
}

// Closes `fd`; false, with the reason, when the close reports a failed write.
bool CloseFile(int fd, std::string& error) {
  if (close(fd) == 0 || errno == EINTR)
    return true;
  error = ErrnoText();
  return false;
}

// The file `path` leads to, its links followed by the system: where the
// file is, or where a link that leads nowhere yet would have it made.
bool FileBehindLinks(const std::string& path, std::string& file, std::string& error) {
  char found[PATH_MAX];
  if (realpath(path.c_str(), found) != nullptr) {
    file = found;
    return true;
  }
  file = path;
  if (errno != ENOENT) {
    error = ErrnoText();
    return false;
  }
  const ssize_t size = readlink(path.c_str(), found, sizeof found);
  if (size <= 0 || static_cast<size_t>(size) == sizeof found)
    return true;  // no link: the file is to be made here
  const std::string target(found, static_cast<size_t>(size));
  const size_t slash = path.rfind('/');
  if (target[0] != '/' && slash != std::string::npos)
    file = path.substr(0, slash + 1) + target;
  else
    file = target;
  return true;
}

// Marked read-only: no write permission for anyone (which binds root too,
// as the player meant it), or none that this user may use.
bool ReadOnly(const std::string& path, const struct stat& info) {
  return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(path.c_str(), W_OK) != 0;
}

}  // namespace

char PathSeparator() {
  return '/';
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/')
    return folder + name;
  return folder + "/" + name;
}

std::string EnvironmentValue(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

SmallFile ReadSmallFile(const std::string& path, size_t most_bytes) {
  SmallFile file;
  // O_NONBLOCK: a named pipe in the file's place must not hold the game.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    file.kind = errno == ENOENT ? SmallFile::Kind::kMissing : SmallFile::Kind::kUnreadable;
    file.error = ErrnoText();
    return file;
  }
  file.kind = SmallFile::Kind::kUnreadable;
  struct stat info {};
  if (fstat(fd, &info) != 0) {
    file.error = ErrnoText();
  } else if (S_ISDIR(info.st_mode)) {
    file.error = "it is a folder";
  } else if (!S_ISREG(info.st_mode)) {
    file.error = "it is not a regular file";
  } else {
    char buffer[16 * 1024];
    for (;;) {
      const ssize_t n = read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR)
        continue;
      if (n < 0) {
        file.error = ErrnoText();
        break;
      }
      if (n == 0) {
        file.kind = SmallFile::Kind::kRead;
        break;
      }
      file.bytes.append(buffer, static_cast<size_t>(n));
      if (file.bytes.size() > most_bytes) {
        file.error = "it is larger than " + std::to_string(most_bytes) + " bytes";
        break;
      }
    }
  }
  close(fd);
  if (file.kind != SmallFile::Kind::kRead)
    file.bytes.clear();
  return file;
}

std::string MakeFolders(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0)
    return S_ISDIR(info.st_mode) ? "" : "it is not a folder";
  // Each folder from the top down; one made meanwhile by another is as good.
  for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string part = path.substr(0, slash);
    if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST)
      return ErrnoText();
    if (slash == std::string::npos)
      break;
  }
  if (stat(path.c_str(), &info) != 0)
    return ErrnoText();
  return S_ISDIR(info.st_mode) ? "" : "it is not a folder";
}

NewFile WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes,
                     std::string& error) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST)
      return NewFile::kExists;
    error = ErrnoText();
    return NewFile::kFailed;
  }
  const bool written = WriteWhole(fd, bytes.data(), bytes.size(), error);
  const bool closed = CloseFile(fd, error);
  if (written && closed)
    return NewFile::kWritten;
  unlink(path.c_str());
  return NewFile::kFailed;
}

bool ReplaceWholeFile(const std::string& path, const std::string& bytes, std::string& error) {
  std::string file;
  if (!FileBehindLinks(path, file, error))
    return false;
  struct stat old {};
  const bool replacing = stat(file.c_str(), &old) == 0;
  if (replacing && ReadOnly(file, old)) {
    error = "it is read-only";
    return false;
  }
  RemoveLeftoverCopies(file);
  // A name no other writer uses: this process's number and a count of its own.
  static std::atomic<unsigned> count{0};
  const std::string copy = CopyNameFor(file, static_cast<unsigned long>(getpid()), ++count);
  const int fd = open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = ErrnoText();
    return false;
  }
  // The old file's mode, which the process's umask would not give.
  const bool mode_kept = !replacing || fchmod(fd, old.st_mode & 07777) == 0;
  if (!mode_kept)
    error = ErrnoText();
  const bool written = mode_kept && WriteWhole(fd, bytes.data(), bytes.size(), error);
  const bool closed = CloseFile(fd, error);
  if (written && closed && rename(copy.c_str(), file.c_str()) == 0)
    return true;
  if (written && closed)
    error = ErrnoText();
  unlink(copy.c_str());
  return false;
}

FolderLock::FolderLock(const std::string& folder, const std::function<bool()>& give_up) {
  descriptor_ = open(folder.c_str(), O_RDONLY | O_CLOEXEC | O_DIRECTORY);
  if (descriptor_ < 0) {
    error_ = ErrnoText();
    return;
  }
  // Looked at again after 1, 2, 4 ... and then every 20 ms: quick when
  // another game is writing, and a wait that can stop.
  for (long wait_ms = 1;; wait_ms = std::min(2 * wait_ms, 20L)) {
    if (flock(descriptor_, LOCK_EX | LOCK_NB) == 0) {
      held_ = true;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      error_ = ErrnoText();
      return;
    }
    if (give_up && give_up()) {
      error_ = kLockTakenText;
      return;
    }
    const timespec wait{0, wait_ms * 1000000L};
    nanosleep(&wait, nullptr);
  }
}

FolderLock::~FolderLock() {
  if (descriptor_ >= 0)
    close(descriptor_);  // lets go of the lock
}

}  // namespace rallix
