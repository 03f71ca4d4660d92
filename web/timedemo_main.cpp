// rallix_timedemo.js: the browser build's core replaying a demo headless in
// node, as `rallix --timedemo FILE` does on the desktop, so that the tests
// see the same game played by the core compiled to WebAssembly. Built beside
// the site, not into it; node reads the file from the machine's own file
// system (NODERAWFS).
//   node rallix_timedemo.js FILE
// Prints the timed replay's line; exit status 0, 1 when the replay went out
// of step or the game stopped on an error, 2 when the file is refused.
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "base/printable_text.h"
#include "demo/format.h"
#include "demo/parser.h"
#include "demo/timed_replay.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: node rallix_timedemo.js FILE\n");
    return 2;
  }
  const std::string name = rallix::PrintableText(argv[1]);
  // Node opens files without O_NONBLOCK: a named pipe or a device is
  // refused before it is opened, never waited on.
  struct stat info {};
  const char* refused = stat(argv[1], &info) != 0 ? std::strerror(errno)
                        : S_ISDIR(info.st_mode)   ? "it is a folder"
                        : !S_ISREG(info.st_mode)  ? "it is not a regular file"
                                                  : nullptr;
  std::ifstream file;
  if (refused == nullptr) {
    file.open(argv[1], std::ios::binary);
    if (!file)
      refused = "it cannot be opened";
  }
  if (refused != nullptr) {
    std::fprintf(stderr, "rallix_timedemo: cannot read the demo %s: %s\n", name.c_str(), refused);
    return 2;
  }
  // One byte beyond the largest demo is enough to refuse a larger file.
  std::vector<uint8_t> bytes(rallix::kMostDemoBytes + 1);
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(file.gcount()));
  const rallix::ParsedDemo parsed = rallix::ParseDemo(bytes);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "rallix_timedemo: cannot play %s: %s\n", name.c_str(),
                 parsed.error.c_str());
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  const rallix::TimedReplay replay = rallix::RunTimedReplay(parsed.demo);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("%s\n", rallix::TimedReplayLine(replay, took.count()).c_str());
  if (!replay.error.empty())
    std::fprintf(stderr, "rallix_timedemo: %s\n", replay.error.c_str());
  return replay.end.kind == rallix::ReplayEnd::Kind::kOutOfStep ? 1 : replay.status;
}
