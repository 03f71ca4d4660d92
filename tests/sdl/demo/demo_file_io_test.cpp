// Demo files on the desktop: a recording grows in FILE.part, playable at any
// moment, and takes FILE's place only when it ends; no recording writes over
// another's part file or a killed game's; what cannot be written or read is
// refused with the reason, and a write that fails during the game is said at
// once while the game goes on.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "demo/format.h"
#include "demo/parser.h"
#include "sdl/demo/file.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

namespace rallix {
namespace {

namespace fs = std::filesystem;
using testing::ScriptedPlatform;
using testing::TempFolder;

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

ParsedDemo ParsedFile(const std::string& path) {
  const DemoFileBytes file = ReadDemoFile(path, kMostDemoBytes);
  if (!file.error.empty())
    return {Demo{}, file.error};
  return ParseDemo(file.bytes);
}

// The title screen for `passes` passes, recorded into `sink`, then the
// window is closed.
int RecordTitle(DemoSink& sink, int64_t passes, const std::function<void(int64_t)>& at_pass = {}) {
  ScriptedPlatform platform;
  platform.on_messages = [&](int64_t pass) {
    if (at_pass)
      at_pass(pass);
    platform.close_requested = pass >= passes;
  };
  return RecordGame(platform, sink);
}

// How many files the process has open: a sink leaves none behind.
long OpenFiles() {
  return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

// Keeps the lines a sink says.
struct Said {
  std::vector<std::string> lines;
  std::function<void(const std::string&)> Listen() {
    return [this](const std::string& line) { lines.push_back(line); };
  }
};

// While it lives, no file of this process may grow past `bytes`: a write
// beyond it fails as on a full disk (with EFBIG, "File too large").
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &before_);
    signal_before_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = before_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &before_);
    std::signal(SIGXFSZ, signal_before_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit before_{};
  void (*signal_before_)(int) = nullptr;
};

TEST(DesktopDemoFile, ARecordingGrowsBesideTheOldFileAndTakesItsPlaceWhenItEnds) {
  TempFolder folder;
  const std::string path = folder.File("run.demo");
  std::ofstream(path) << "the last recording";
  Said said;
  DemoFileSink sink(path, said.Listen());
  ASSERT_TRUE(sink.Open()) << sink.Error();
  EXPECT_EQ(sink.PartPath(), path + ".part");
  // Before the game starts, the header is in the file: a demo of no passes.
  EXPECT_EQ(ParsedFile(sink.PartPath()).error, "");

  // The title for 200 passes, then the window is closed. At pass 130, two
  // chunks of 60 passes have been written: killed then, the game would
  // leave a demo of 120 passes.
  ParsedDemo while_recording;
  std::string old_file_then;
  ASSERT_EQ(RecordTitle(sink, 200,
                        [&](int64_t pass) {
                          if (pass == 130) {
                            while_recording = ParsedFile(sink.PartPath());
                            old_file_then = Contents(path);
                          }
                        }),
            0);
  EXPECT_EQ(while_recording.error, "");
  EXPECT_EQ(while_recording.demo.pass_count, 120);
  EXPECT_EQ(while_recording.demo.end, DemoEnd::kNone);
  EXPECT_EQ(old_file_then, "the last recording");

  EXPECT_EQ(sink.Error(), "");
  EXPECT_EQ(said.lines, std::vector<std::string>{});
  EXPECT_FALSE(fs::exists(sink.PartPath()));
  const ParsedDemo demo = ParsedFile(path);
  EXPECT_EQ(demo.error, "");
  EXPECT_EQ(demo.demo.pass_count, 200);
  EXPECT_EQ(demo.demo.end, DemoEnd::kClosed);
}

TEST(DesktopDemoFile, NoRecordingWritesOverAnotherOrOverWhatAKilledGameLeft) {
  TempFolder folder;
  const std::string path = folder.File("same.demo");
  const std::string part = path + ".part";
  std::ofstream(path) << "the last recording";
  const long open_files = OpenFiles();
  Said first_said;
  DemoFileSink first(path, first_said.Listen());
  ASSERT_TRUE(first.Open());
  const std::string first_part = Contents(part);
  {
    Said said;
    DemoFileSink second(path, said.Listen());
    EXPECT_FALSE(second.Open());
    EXPECT_EQ(said.lines,
              std::vector<std::string>{"cannot write the demo " + path +
                                       ": another Rallix is recording it now, into " + part});
  }
  EXPECT_EQ(Contents(part), first_part);
  EXPECT_EQ(Contents(path), "the last recording");
  ASSERT_EQ(RecordTitle(first, 100), 0);
  EXPECT_EQ(first_said.lines, std::vector<std::string>{});
  EXPECT_EQ(ParsedFile(path).demo.pass_count, 100);
  EXPECT_EQ(OpenFiles(), open_files) << "a finished recording, and a refused one, closed";

  // What a killed game left (a demo cut after its first chunk), a pipe and
  // a folder: none is opened for writing, none is waited on.
  const std::string finished = Contents(path);
  std::ofstream(part, std::ios::binary) << finished.substr(0, 40);
  DemoFileSink after_a_kill(path, nullptr);
  EXPECT_FALSE(after_a_kill.Open());
  EXPECT_EQ(after_a_kill.Error(),
            "cannot write the demo " + path + ": " + part +
                " is there already, the recording of a game that did not finish (it plays up to "
                "where it stops): move or remove it to record here");
  EXPECT_EQ(Contents(part), finished.substr(0, 40));
  fs::remove(part);
  ASSERT_EQ(mkfifo(part.c_str(), 0600), 0);
  DemoFileSink onto_a_pipe(path, nullptr);
  EXPECT_FALSE(onto_a_pipe.Open());
  EXPECT_EQ(onto_a_pipe.Error(), "cannot write the demo " + path + ": " + part +
                                     " is in the way: it is not a regular file");
  fs::remove(part);
  fs::create_directory(part);
  DemoFileSink onto_a_folder(path, nullptr);
  EXPECT_FALSE(onto_a_folder.Open());
  EXPECT_EQ(onto_a_folder.Error(),
            "cannot write the demo " + path + ": " + part + " is in the way: it is a folder");
  EXPECT_EQ(Contents(path), finished);
  EXPECT_EQ(OpenFiles(), open_files);
}

TEST(DesktopDemoFile, WhatCannotBeWrittenIsRefusedBeforeTheGameAndAFailedWriteLaterIsSaidAtOnce) {
  TempFolder folder;
  DemoFileSink nowhere(folder.File("no such folder/run.demo"), nullptr);
  EXPECT_FALSE(nowhere.Open());
  EXPECT_EQ(nowhere.Error(), "cannot write the demo " + folder.File("no such folder/run.demo") +
                                 ": No such file or directory");
  fs::create_directory(folder.File("taken"));
  DemoFileSink onto_a_folder(folder.File("taken"), nullptr);
  EXPECT_FALSE(onto_a_folder.Open());
  EXPECT_EQ(onto_a_folder.Error(),
            "cannot write the demo " + folder.File("taken") + ": it is a folder");

  // A disk that cannot take the header: refused, and nothing is left.
  const std::string path = folder.File("run.demo");
  std::ofstream(path) << "the last recording";
  const long open_files = OpenFiles();
  {
    const FileSizeLimit full(10);
    std::vector<std::string> said;
    DemoFileSink sink(path, [&said](const std::string& line) { said.push_back(line); });
    EXPECT_FALSE(sink.Open());
    sink.Append(RecordedDemoHeader());
    EXPECT_EQ(said, std::vector<std::string>{"cannot write the demo " + path + ": File too large"});
  }
  // The game never started (no window): the old file stays, no part is left.
  {
    DemoFileSink sink(path, nullptr);
    ASSERT_TRUE(sink.Open());
  }
  EXPECT_EQ(OpenFiles(), open_files);
  EXPECT_EQ(Contents(path), "the last recording");
  EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(folder.Path()), {}).size(), 2u)
      << "run.demo and the folder 'taken' only";

  // The disk fills in the second chunk (the title's chunks are 15 bytes):
  // said then, the file cut back to the first chunk, and the game goes on
  // to its end, when the demo of 60 passes takes the old file's place.
  const size_t header = RecordedDemoHeader().size();
  Said said;
  std::vector<std::string> said_by_pass_130;
  {
    const FileSizeLimit full(header + 15 + 7);
    DemoFileSink sink(path, said.Listen());
    ASSERT_TRUE(sink.Open());
    EXPECT_EQ(RecordTitle(sink, 300,
                          [&](int64_t pass) {
                            if (pass == 130)
                              said_by_pass_130 = said.lines;
                          }),
              0);
  }
  const std::string line = "cannot write the demo " + path +
                           ": File too large; the game goes on, and the demo keeps what was "
                           "recorded until now";
  EXPECT_EQ(said_by_pass_130, std::vector<std::string>{line});
  EXPECT_EQ(said.lines, std::vector<std::string>{line});
  EXPECT_EQ(Contents(path).size(), header + 15);
  const ParsedDemo kept = ParsedFile(path);
  EXPECT_EQ(kept.error, "");
  EXPECT_EQ(kept.demo.pass_count, 60);
}

TEST(DesktopDemoFile, ANameAsLongAsAFolderTakesIsRecordedThroughAPartNoLonger) {
  TempFolder folder;
  EXPECT_EQ(DemoPartPath("a/" + std::string(250, 'x')), "a/" + std::string(250, 'x') + ".part");
  // Whole characters make way: "é" is two bytes.
  std::string accents;
  for (int i = 0; i < 4; ++i)
    accents += "\xC3\xA9";
  EXPECT_EQ(DemoPartPath("a/" + std::string(245, 'y') + accents),
            "a/" + std::string(245, 'y') + "\xC3\xA9.part");

  const std::string path = folder.File(std::string(250, 'z') + ".demo");
  DemoFileSink sink(path, nullptr);
  EXPECT_EQ(sink.PartPath(), folder.File(std::string(250, 'z') + ".part"));
  ASSERT_TRUE(sink.Open()) << sink.Error();
  ASSERT_EQ(RecordTitle(sink, 70), 0);
  EXPECT_EQ(sink.Error(), "");
  EXPECT_EQ(ParsedFile(path).demo.pass_count, 70);
}

TEST(DesktopDemoFile, AReaderTakesOneByteBeyondItsLimitAndNoFolderOrPipe) {
  TempFolder folder;
  const std::string path = folder.Write("big.demo", std::vector<uint8_t>(100000, 'x'));
  const DemoFileBytes read = ReadDemoFile(path, 70000);
  EXPECT_EQ(read.error, "");
  EXPECT_EQ(read.bytes.size(), 70001u);
  EXPECT_EQ(ReadDemoFile(path, 100000).bytes.size(), 100000u);

  EXPECT_EQ(ReadDemoFile(folder.Path(), 70000).error, "it is a folder");
  EXPECT_EQ(ReadDemoFile(folder.File("none"), 70000).error, "No such file or directory");
  // A named pipe nobody writes to is refused at once, not waited on.
  ASSERT_EQ(mkfifo(folder.File("pipe").c_str(), 0600), 0);
  EXPECT_EQ(ReadDemoFile(folder.File("pipe"), 70000).error, "it is not a regular file");
}

}  // namespace
}  // namespace rallix
