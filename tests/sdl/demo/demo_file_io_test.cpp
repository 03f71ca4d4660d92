// Demo files on the desktop: a recording grows in FILE.part, playable at any
// moment, and takes FILE's place only when it ends; what cannot be written
// or read is refused with the reason.
#include <gtest/gtest.h>
#include <sys/stat.h>

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

TEST(DesktopDemoFile, ARecordingGrowsBesideTheOldFileAndTakesItsPlaceWhenItEnds) {
  TempFolder folder;
  const std::string path = folder.File("run.demo");
  std::ofstream(path) << "the last recording";
  DemoFileSink sink(path);
  ASSERT_TRUE(sink.Open()) << sink.Error();
  EXPECT_EQ(sink.PartPath(), path + ".part");

  // The title for 200 passes, then the window is closed. At pass 130, two
  // chunks of 60 passes have been written: killed then, the game would
  // leave a demo of 120 passes.
  ScriptedPlatform platform;
  ParsedDemo while_recording;
  std::string old_file_then;
  platform.on_messages = [&](int64_t pass) {
    if (pass == 130) {
      const DemoFileBytes part = ReadDemoFile(sink.PartPath(), kMostDemoBytes);
      ASSERT_EQ(part.error, "");
      while_recording = ParseDemo(part.bytes);
      old_file_then = Contents(path);
    }
    platform.close_requested = pass >= 200;
  };
  ASSERT_EQ(RecordGame(platform, sink), 0);
  EXPECT_EQ(while_recording.error, "");
  EXPECT_EQ(while_recording.demo.pass_count, 120);
  EXPECT_EQ(while_recording.demo.end, DemoEnd::kNone);
  EXPECT_EQ(old_file_then, "the last recording");

  EXPECT_EQ(sink.Error(), "");
  EXPECT_FALSE(fs::exists(sink.PartPath()));
  const DemoFileBytes finished = ReadDemoFile(path, kMostDemoBytes);
  const ParsedDemo demo = ParseDemo(finished.bytes);
  EXPECT_EQ(demo.error, "");
  EXPECT_EQ(demo.demo.pass_count, 200);
  EXPECT_EQ(demo.demo.end, DemoEnd::kClosed);
}

TEST(DesktopDemoFile, WhatCannotBeWrittenIsRefusedAndAnUnfinishedRecordingLeavesNothing) {
  TempFolder folder;
  DemoFileSink nowhere(folder.File("no such folder/run.demo"));
  EXPECT_FALSE(nowhere.Open());
  EXPECT_EQ(nowhere.Error(), "cannot write the demo " + folder.File("no such folder/run.demo") +
                                 ": No such file or directory");
  fs::create_directory(folder.File("taken"));
  DemoFileSink onto_a_folder(folder.File("taken"));
  EXPECT_FALSE(onto_a_folder.Open());
  EXPECT_EQ(onto_a_folder.Error(),
            "cannot write the demo " + folder.File("taken") + ": it is a folder");

  // The game never started (no window): the old file stays, no part is left.
  const std::string path = folder.File("run.demo");
  std::ofstream(path) << "the last recording";
  {
    DemoFileSink sink(path);
    ASSERT_TRUE(sink.Open());
    ASSERT_TRUE(fs::exists(sink.PartPath()));
  }
  EXPECT_EQ(Contents(path), "the last recording");
  EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(folder.Path()), {}).size(), 2u)
      << "run.demo and the folder 'taken' only";
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
