// Writing generated files so that a rerun leaves identical files untouched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rallix::art {

// One file a generator produces: its name inside the output directory and
// its whole contents.
struct GeneratedFile {
  std::string file_name;
  std::vector<uint8_t> bytes;
};

// Writes each file into `directory` with WriteFileIfChanged and reports each
// path on standard output as "written" or "unchanged".
void WriteAll(const std::string& directory, const std::vector<GeneratedFile>& files);

// Writes `bytes` to `path` unless the file already holds exactly them, so
// that regenerating an unchanged asset does not trigger a rebuild. The file
// is written beside the target and renamed over it, so a failed write never
// leaves a half-written asset. Returns whether the file was written; throws
// std::runtime_error, naming the path, when it cannot be written.
bool WriteFileIfChanged(const std::string& path, const std::vector<uint8_t>& bytes);

// Runs a generator's main body, turning an exception into a message on
// standard error and exit status 1.
int RunGenerator(const char* program, int (*body)(int argc, char** argv), int argc, char** argv);

}  // namespace rallix::art
