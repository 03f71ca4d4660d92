// What the save state fuzzer found (tests/data/fuzz/state/) is offered to the
// core again under the sanitizers, with the fuzzer's own checks.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/state_check.h"

namespace rallix::libretro {
namespace {

TEST(SaveState, WhatTheFuzzerFoundIsTakenWithoutHarm) {
  for (const auto& entry : std::filesystem::directory_iterator(std::string(RALLIX_SOURCE_DIR) +
                                                               "/tests/data/fuzz/state")) {
    if (entry.path().extension() == ".md")
      continue;
    SCOPED_TRACE(entry.path());
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    fuzz::CheckState(bytes.data(), bytes.size());
  }
}

}  // namespace
}  // namespace rallix::libretro
