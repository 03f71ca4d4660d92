// A private folder for a test's files, removed with everything in it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rallix::testing {

class TempFolder {
 public:
  // Made under $TMPDIR, or /tmp.
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes `bytes` as the file `name` and returns its path.
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) const;

 private:
  std::string path_;
};

// Writes `bytes` as the file at `path`.
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// While it lives, the process works in `path`; its end goes back.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& path);
  ~WorkingDirectory();
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  std::string previous_;
};

}  // namespace rallix::testing
