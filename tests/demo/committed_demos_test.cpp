// The demos in tests/data/demos/, which `make test` replays with --timedemo
// on Linux, under Wine and in node (tests/e2e/demos_test.py,
// tests/e2e/windows_test.py), are what the game's recorder makes of three
// scripted runs, and expected.txt holds what each run showed as it was
// recorded: its passes, score, high score and the digest of its frames.
//
// After a change to the play or the pictures that is meant, record them anew
// and review the diff:
//
//   RALLIX_UPDATE_GOLDEN=1 build/<dir>/tests/test_committed_demos
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "demo/parser.h"
#include "tests/support/demo_recordings.h"

namespace rallix::testing {
namespace {

const std::string kFolder = std::string(RALLIX_SOURCE_DIR) + "/tests/data/demos/";

struct CommittedDemo {
  const char* file;
  Recording (*record)();
  DemoEnd end;  // each way a run ends, once
};

const CommittedDemo kDemos[] = {
    {"lost_game.demo", RecordLostGame, DemoEnd::kGameEnded},
    {"champion_config.demo", [] { return RecordChampionGame(true); }, DemoEnd::kClosed},
    {"focus_and_pause.demo", RecordFocusGame, DemoEnd::kClosedInSound},
};

// The line expected.txt holds for the demo: what `rallix --timedemo`
// prints, without the time it took.
std::string ExpectedLine(const char* file, const Recording& recording) {
  const Demo demo = ParseDemo(recording.sink.bytes).demo;
  char line[200];
  std::snprintf(line, sizeof line, "%s: %lld passes, score %ld, high score %ld, digest %016llX",
                file, static_cast<long long>(demo.pass_count), static_cast<long>(recording.score),
                static_cast<long>(recording.hi_score),
                static_cast<unsigned long long>(recording.digest));
  return line;
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(CommittedDemos, AreWhatTheRecorderMakesOfTheirRunsWithWhatTheyShowed) {
  const char* update = std::getenv("RALLIX_UPDATE_GOLDEN");
  const bool updating = update != nullptr && std::string(update) == "1";
  std::string expected =
      "# What `rallix --timedemo` prints for each demo, without the time it took, on\n"
      "# every machine; recorded by tests/demo/committed_demos_test.cpp.\n";
  for (const CommittedDemo& committed : kDemos) {
    const Recording recording = committed.record();
    const ParsedDemo parsed = ParseDemo(recording.sink.bytes);
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.demo.end, committed.end) << committed.file;
    const std::string bytes(recording.sink.bytes.begin(), recording.sink.bytes.end());
    const std::string path = kFolder + committed.file;
    if (updating)
      std::ofstream(path, std::ios::binary) << bytes;
    EXPECT_TRUE(Contents(path) == bytes)
        << path << " is not what the recorder makes of its run now; if the change is meant, "
        << "record it with RALLIX_UPDATE_GOLDEN=1";
    expected += ExpectedLine(committed.file, recording) + "\n";
  }
  if (updating) {
    std::ofstream(kFolder + "expected.txt", std::ios::binary) << expected;
    GTEST_SKIP() << "recorded the demos in " << kFolder;
  }
  EXPECT_EQ(Contents(kFolder + "expected.txt"), expected);
}

}  // namespace
}  // namespace rallix::testing
