// Demo files on the desktop: reading one to play it, and writing one while a
// game is recorded. Each system opens, writes, locks and renames files its
// own way: file_posix.cpp and file_windows.cpp; names are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "demo/recorder.h"

namespace rallix {

struct DemoFileBytes {
  std::vector<uint8_t> bytes;
  std::string error;  // why the file could not be read ("No such file or directory"), or empty
};

// The first `most_bytes` + 1 bytes of the regular file at `path` (fewer
// when it is shorter): enough for the demo's reader to refuse a file that is
// too large without reading it all. A folder, a device or a pipe is not
// read, nor waited for.
DemoFileBytes ReadDemoFile(const std::string& path, size_t most_bytes);

// The file a recording grows in beside PATH: PATH.part, or, where that name
// would be longer than the 255 bytes a file system takes, PATH with the end
// of its name given up for ".part", so that it is no longer than PATH's.
std::string DemoPartPath(const std::string& path);

// What a recorder finds where its part file would be made.
enum class PartFileFound {
  kRecording,   // another recorder's, at work
  kUnfinished,  // a file no one writes: a game that did not finish
  kFolder,
  kNotAFile,  // a pipe, a device, a link
};

// The file a recording goes to. It is written in the part file beside PATH
// (DemoPartPath), each piece as it comes, so that a game killed while it is
// recorded leaves a demo there that plays up to its last piece; when the
// recording ends, the finished file takes the place of PATH, and not before.
// The part file is this recording's alone: a second recorder of PATH is
// refused while it is written, and a part file that is there already (an
// unfinished recording, or anything else) is never touched.
class DemoFileSink : public DemoSink {
 public:
  // Every failure is told through `say`, in one line, as it happens.
  DemoFileSink(std::string path, std::function<void(const std::string&)> say);
  // A recording that never finished (the game did not start) leaves no file.
  ~DemoFileSink() override;
  DemoFileSink(const DemoFileSink&) = delete;
  DemoFileSink& operator=(const DemoFileSink&) = delete;

  // Makes the part file, held against other recorders, and writes the
  // demo's header into it; false when PATH or the part file cannot be
  // written (no such folder, no permission, PATH is a folder, the disk is
  // full, the part file is there already).
  bool Open();
  // Writes the piece. When that fails, the file is cut back to the pieces
  // before, nothing more is written and the game goes on: the demo ends
  // there.
  void Append(const std::vector<uint8_t>& piece) override;
  // Puts the part file, flushed to the disk, in PATH's place.
  void Finish() override;
  bool HasHeader() const override { return true; }

  // The first failure, as it was said; empty while all is well.
  const std::string& Error() const { return error_; }
  const std::string& PartPath() const { return part_path_; }

 private:
  void Fail(const std::string& reason);
  std::string Refusal(PartFileFound found) const;

  // The system's side (file_posix.cpp, file_windows.cpp); each sets
  // `reason` when it fails. CreatePart makes the part file only where there
  // is none (else Refusal says what is there), and keeps it locked against
  // other recorders while it is open.
  bool CreatePart(std::string& reason);
  bool WritePart(const std::vector<uint8_t>& piece, std::string& reason);
  // Cuts the part file back to its first `size` bytes.
  void CutPart(size_t size);
  bool SyncPart(std::string& reason);  // to the disk
  bool ReplaceWithPart(std::string& reason);
  void ClosePart();
  void RemovePart();

  std::string path_;
  std::string part_path_;
  std::function<void(const std::string&)> say_;
  bool open_ = false;       // the part file is open, and ours
  int descriptor_ = -1;     // as POSIX has it
  void* handle_ = nullptr;  // as Windows has it, a HANDLE
  size_t written_ = 0;      // the bytes of the whole pieces in the part file
  bool writing_ = true;     // no write has failed
  bool finished_ = false;
  std::string error_;
};

}  // namespace rallix
