// Demo files on the desktop: reading one to play it, and writing one while a
// game is recorded. Each system opens, writes and renames files its own way:
// demo_file_posix.cpp and demo_file_windows.cpp; names are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
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

// The file a recording goes to. It is written as PATH.part beside PATH,
// each piece as it comes, so that a game killed while it is recorded leaves
// a demo there that plays up to its last piece; when the recording ends, the
// finished file takes the place of PATH, and not before.
class DemoFileSink : public DemoSink {
 public:
  explicit DemoFileSink(std::string path);
  // A recording that never finished (the game did not start) leaves no file.
  ~DemoFileSink() override;
  DemoFileSink(const DemoFileSink&) = delete;
  DemoFileSink& operator=(const DemoFileSink&) = delete;

  // Makes PATH.part, empty; false, with Error() saying why, when PATH or
  // PATH.part cannot be written (no such folder, no permission, PATH is a
  // folder).
  bool Open();
  // Writes and flushes the piece. After a failure nothing more is written,
  // and PATH is left as it was.
  void Append(const std::vector<uint8_t>& piece) override;
  // Flushes PATH.part to the disk and puts it in PATH's place.
  void Finish() override;

  // Why the demo could not be written, in one line; empty while all is well.
  const std::string& Error() const { return error_; }
  const std::string& PartPath() const { return part_path_; }

 private:
  void Fail(const std::string& reason);

  // The system's side (demo_file_posix.cpp, demo_file_windows.cpp); each
  // sets `reason` when it fails.
  bool CreatePart(std::string& reason);
  bool WritePart(const std::vector<uint8_t>& piece, std::string& reason);
  bool ClosePart(std::string& reason);  // to the disk, then closed
  bool ReplaceWithPart(std::string& reason);
  void RemovePart();

  std::string path_;
  std::string part_path_;
  bool open_ = false;       // PATH.part is open
  int descriptor_ = -1;     // as POSIX has it
  void* handle_ = nullptr;  // as Windows has it, a HANDLE
  bool finished_ = false;
  std::string error_;
};

}  // namespace rallix
