// The few small files the desktop game keeps for the player (its settings,
// its screenshots), as each system reads and writes them: files_posix.cpp
// under sdl/system/posix, files_windows.cpp under sdl/system/windows. Names
// are UTF-8. Every failure comes back with the system's reason in a few
// words ("Permission denied"), never as an exception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rallix {

// The character that parts the folders of a path here: '/', or '\\' on
// Windows.
char PathSeparator();
// `folder` and `name` joined by the separator.
std::string JoinPath(const std::string& folder, const std::string& name);
// The value of an environment variable as UTF-8; empty when it is not set.
std::string EnvironmentValue(const char* name);

struct SmallFile {
  enum class Kind { kRead, kMissing, kUnreadable };
  Kind kind = Kind::kMissing;
  std::string bytes;
  std::string error;  // why it could not be read, for kUnreadable
};

// The regular file at `path`, read whole when it holds at most `most_bytes`.
// A folder, a device, a pipe or a larger file is unreadable, and nothing
// waits for a pipe's writer.
SmallFile ReadSmallFile(const std::string& path, size_t most_bytes);

// Makes the folder at `path` and every folder above it that is missing.
// Empty when the folder is there now, else why not.
std::string MakeFolders(const std::string& path);

enum class NewFile { kWritten, kExists, kFailed };
// Writes `bytes` as a new file at `path`, flushed to the disk; never in the
// place of a file that is there (kExists). On kFailed `error` says why and
// no file is left behind.
NewFile WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes,
                     std::string& error);

// Puts `bytes` in the place of the file at `path` in one step: they are
// written to a file of their own beside it (named for this process and
// call), flushed to the disk and renamed over it, so that anyone reading
// `path` meanwhile finds the old file or the new one whole, never a part.
// False, with `error` saying why, when that fails; `path` is then as it was.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes, std::string& error);

// While it lives, no other holder of a FolderLock on the same folder, in
// this process or another, holds one: the next waits for it. A lock that
// cannot be had (the folder is not there) holds nothing, and says so.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool Held() const { return held_; }

 private:
  bool held_ = false;
  int descriptor_ = -1;     // as POSIX has it
  void* handle_ = nullptr;  // as Windows has it, a mutex's HANDLE
};

}  // namespace rallix
