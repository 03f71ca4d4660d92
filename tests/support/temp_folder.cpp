#include "tests/support/temp_folder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace rallix::testing {

TempFolder::TempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern =
      std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/rallix-test-XXXXXX";
  if (mkdtemp(pattern.data()) != nullptr)
    path_ = pattern;
}

TempFolder::~TempFolder() {
  if (path_.empty())
    return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(const std::string& name, const std::vector<uint8_t>& bytes) const {
  WriteFile(File(name), bytes);
  return File(name);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

WorkingDirectory::WorkingDirectory(const std::string& path) {
  std::error_code ignored;
  previous_ = std::filesystem::current_path(ignored).string();
  std::filesystem::current_path(path, ignored);
}

WorkingDirectory::~WorkingDirectory() {
  std::error_code ignored;
  if (!previous_.empty())
    std::filesystem::current_path(previous_, ignored);
}

}  // namespace rallix::testing
