// Screenshots on the disk: the folder made when first needed, each picture a
// new file named by its moment holding the frame's PNG, no file ever written
// over, a folder that cannot be had named once; and the pictures folder as
// the desktop's user-dirs file names it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/frame_png.h"
#include "sdl/screenshot/screenshots.h"
#include "sdl/system/files.h"
#include "sdl/system/user_folders.h"
#include "tests/support/temp_folder.h"

namespace rallix {
namespace {

std::tm Moment() {
  std::tm when{};
  when.tm_year = 2025 - 1900;
  when.tm_mday = 31;
  when.tm_hour = 23;
  when.tm_min = 59;
  when.tm_sec = 5;
  return when;
}

// Whether the file holds the frame's PNG (display/frame_png_test.cpp reads one back).
bool Holds(const std::string& path, const Surface& frame) {
  const std::vector<uint8_t> png = EncodeFramePng(frame);
  return ReadSmallFile(path, 1 << 20).bytes == std::string(png.begin(), png.end());
}

TEST(Screenshots, EachIsANewFileNamedByItsMomentAndNoneIsWrittenOver) {
  testing::TempFolder temp;
  const std::string folder = temp.File("Pictures/Rallix");
  std::vector<std::string> said;
  Screenshots screenshots(folder, [&said](const std::string& line) { said.push_back(line); });
  Surface frame;
  frame.Set(17, 300, kWhite);
  const Surface first_frame = frame;
  EXPECT_EQ(screenshots.Save(frame, Moment()), folder + "/rallix-20250131-235905.png");
  // The same second again: "-2"; with the next name taken already, past it.
  testing::WriteFile(folder + "/rallix-20250131-235905-3.png", {'m', 'i', 'n', 'e'});
  frame.Set(18, 300, kWhite);
  EXPECT_EQ(screenshots.Save(frame, Moment()), folder + "/rallix-20250131-235905-2.png");
  EXPECT_EQ(screenshots.Save(frame, Moment()), folder + "/rallix-20250131-235905-4.png");
  EXPECT_TRUE(Holds(folder + "/rallix-20250131-235905.png", first_frame));
  EXPECT_TRUE(Holds(folder + "/rallix-20250131-235905-4.png", frame));
  EXPECT_EQ(ReadSmallFile(folder + "/rallix-20250131-235905-3.png", 100).bytes, "mine");
  ASSERT_EQ(said.size(), 3u);
  EXPECT_EQ(said[2], "rallix: screenshot " + folder + "/rallix-20250131-235905-4.png");
}

TEST(Screenshots, AFolderThatCannotBeHadIsNamedOnceAndTheGameGoesOn) {
  testing::TempFolder temp;
  testing::WriteFile(temp.File("Pictures"), {'x'});
  std::vector<std::string> said;
  const auto say = [&said](const std::string& line) { said.push_back(line); };
  Screenshots blocked(temp.File("Pictures/Rallix"), say);
  Screenshots nowhere("", say);
  for (Screenshots* screenshots : {&blocked, &blocked, &nowhere, &nowhere})
    EXPECT_EQ(screenshots->Save(Surface(), Moment()), "");
  const std::vector<std::string> lines = {
      "rallix: cannot save screenshots in " + temp.File("Pictures/Rallix") + ": Not a directory",
      "rallix: no folder for screenshots: the system names no pictures folder; "
      "--screenshot-dir DIR gives one"};
  EXPECT_EQ(said, lines);
}

TEST(PicturesFolder, AsTheUserDirsFileNamesIt) {
  const auto named = [](const std::string& line) {
    return PicturesFolderOfUserDirs(
        "# by xdg-user-dirs-update\n\n  \nXDG_DOWNLOAD_DIR=\"$HOME/x\"\n" + line, "/home/ana/");
  };
  EXPECT_EQ(named("XDG_PICTURES_DIR=\"$HOME/Bilder\"\n"), "/home/ana/Bilder");
  EXPECT_EQ(named("XDG_PICTURES_DIR=\"/data/my \\\"pics\\\"/\""), "/data/my \"pics\"");
  EXPECT_EQ(named("XDG_PICTURES_DIR=\"$HOME/\"\n"), "") << "the home folder: none wanted";
  EXPECT_EQ(named("XDG_PICTURES_DIR=\"Pictures\"\n"), "");
  EXPECT_EQ(named("XDG_PICTURES_DIR=\"$HOMEWORK\"\n"), "");
  // The closing quote ends the value; what follows it is no part of it.
  EXPECT_EQ(named("XDG_PICTURES_DIR = \"$HOME/Pics\" # where \"pics\" go\n"), "/home/ana/Pics");
  EXPECT_EQ(named("XDG_PICTURES_DIR=\"/data/a\\\\\" # \"b\"\n"), "/data/a\\");
  EXPECT_EQ(named("XDG_PICTURES_DIR=\"/data/open\n"), "") << "no closing quote";
  EXPECT_EQ(named("XDG_PICTURES_DIR=\"/a\"\nXDG_PICTURES_DIR=x/srv\"\n"), "/a")
      << "no opening quote";
  EXPECT_EQ(named("XDG_PICTURES_DIR:\"/srv\"\n"), "") << "no equals sign";
  EXPECT_EQ(named(""), "");
}

}  // namespace
}  // namespace rallix
