// The few small files the desktop game keeps for the player (its settings,
// its screenshots), as each system reads and writes them: files_posix.cpp
// under sdl/system/posix, files_windows.cpp under sdl/system/windows. Names
// are UTF-8. Every failure comes back with the system's reason in a few
// words ("Permission denied"), never as an exception.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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
// written to a copy of their own beside it (CopyNameFor, named for this
// process and call), flushed to the disk and renamed over it, so that anyone
// reading `path` meanwhile finds the old file or the new one whole, never a
// part. The new file keeps the old one's mode; where `path` is a link, the
// file it leads to is replaced and the link stays. A file marked read-only
// is left as it is ("it is read-only"). False, with `error` saying why, when
// that fails; `path` is then as it was and no copy is left. Copies that a
// writer killed before its rename left beside the file are removed first
// (RemoveLeftoverCopies), so call it only while holding the FolderLock of
// the file's folder.
bool ReplaceWholeFile(const std::string& path, const std::string& bytes, std::string& error);

// The name of the copy that the process `process` writes, as its `count`th,
// before it takes the place of the file at `path`: "PATH.new-PID-COUNT".
std::string CopyNameFor(const std::string& path, unsigned long process, unsigned count);
// Removes the copies left beside the file at `path` by writers that were
// killed before their rename: those whose process has ended, and any older
// than an hour (its process's number may be another's now). A copy being
// written is neither: its writer lives, and holds the folder's lock.
void RemoveLeftoverCopies(const std::string& path);

// While it lives, no other holder of a FolderLock on the same folder, in
// this process or another, holds one: the next waits for it, looking again
// every few milliseconds until it has it or `give_up` (when given) says to
// stop waiting, so that another program holding the lock for good (a game
// stopped in the middle of a write) never holds up the game's end. A lock
// that cannot be had holds nothing, and says why.
// What FolderLock::Error says when another held the lock for as long as
// the holder was willing to wait.
constexpr char kLockTakenText[] = "another program holds the lock on its folder";

class FolderLock {
 public:
  explicit FolderLock(const std::string& folder, const std::function<bool()>& give_up = {});
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  bool Held() const { return held_; }
  // Why the lock is not held: the system's reason, or kLockTakenText when
  // `give_up` ended the wait.
  const std::string& Error() const { return error_; }

 private:
  bool held_ = false;
  std::string error_;
  int descriptor_ = -1;     // as POSIX has it
  void* handle_ = nullptr;  // as Windows has it, a mutex's HANDLE
};

}  // namespace rallix
