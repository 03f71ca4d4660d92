#include "tools/file_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace rallix::art {
namespace {

bool HoldsExactly(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  std::vector<uint8_t> existing((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
  return existing == bytes;
}

}  // namespace

bool WriteFileIfChanged(const std::string& path, const std::vector<uint8_t>& bytes) {
  if (HoldsExactly(path, bytes))
    return false;
  const std::string temporary = path + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) {
      throw std::runtime_error("cannot create " + temporary + ": " + std::strerror(errno));
    }
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      throw std::runtime_error("cannot write " + temporary);
    }
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    std::remove(temporary.c_str());
    throw std::runtime_error("cannot replace " + path + ": " + std::strerror(error));
  }
  return true;
}

void WriteAll(const std::string& directory, const std::vector<GeneratedFile>& files) {
  for (const GeneratedFile& file : files) {
    const std::string path = directory + "/" + file.file_name;
    const bool written = WriteFileIfChanged(path, file.bytes);
    std::printf("%s %s\n", path.c_str(), written ? "written" : "unchanged");
  }
}

int RunGenerator(const char* program, int (*body)(int argc, char** argv), int argc, char** argv) {
  try {
    return body(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", program, error.what());
    return 1;
  }
}

}  // namespace rallix::art
