// Standard error silenced while SDL looks for a display: a sanitizer's
// report still reaches it.
#include <gtest/gtest.h>

#include <cstdio>

#include "sdl/system/quiet_stderr.h"

namespace rallix {
namespace {

TEST(QuietStderrDeathTest, ASanitizersReportStillReachesStandardError) {
#if defined(__SANITIZE_ADDRESS__)
  // Reads one int past the end of a block the compiler cannot see through.
  const auto read_past_the_end = [] {
    int* volatile block = new int[4];
    const int value = block[4];
    delete[] block;
    return value;
  };
  EXPECT_DEATH(
      {
        QuietStderr quiet;
        std::fputs("a library's complaint\n", stderr);
        std::printf("%d\n", read_past_the_end());
      },
      "heap-buffer-overflow");
#else
  GTEST_SKIP() << "only a sanitizer build reports";
#endif
}

TEST(QuietStderr, WhatLibrariesSayMeanwhileIsNotShownAndStderrComesBack) {
  ::testing::internal::CaptureStderr();
  {
    QuietStderr quiet;
    std::fputs("a library's complaint\n", stderr);
  }
  std::fputs("ours\n", stderr);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "ours\n");
}

}  // namespace
}  // namespace rallix
