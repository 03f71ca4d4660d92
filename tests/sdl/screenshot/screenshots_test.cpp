// Screenshots on the disk: the folder made when first needed, each picture a
// new file named by its moment that reads back as the frame, no file ever
// written over, and a folder that cannot be had named once; and the pictures
// folder as the desktop's user-dirs file names it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sdl/screenshot/screenshots.h"
#include "sdl/system/files.h"
#include "sdl/system/user_folders.h"
#include "tests/support/png_image.h"
#include "tests/support/temp_folder.h"

namespace rallix {
namespace {

std::tm Moment() {
  std::tm when{};
  when.tm_year = 2025 - 1900;
  when.tm_mon = 0;
  when.tm_mday = 31;
  when.tm_hour = 23;
  when.tm_min = 59;
  when.tm_sec = 5;
  return when;
}

// The file's picture as palette indices, or a blank surface when it is none.
Surface PictureIn(const std::string& path) {
  const SmallFile file = ReadSmallFile(path, 1 << 20);
  const std::optional<art::RgbaImage> image =
      testing::DecodePng(std::vector<uint8_t>(file.bytes.begin(), file.bytes.end()));
  Surface picture;
  picture.Fill(9);
  if (!image || image->width != kScreenWidth || image->height != kScreenHeight)
    return picture;
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x) {
      const uint8_t grey = image->rgba[(static_cast<size_t>(y) * kScreenWidth + x) * 4];
      picture.Set(x, y, grey == 0 ? kBlack : grey == 255 ? kWhite : 9);
    }
  }
  return picture;
}

TEST(Screenshots, EachIsANewFileNamedByItsMomentThatReadsBackAsTheFrame) {
  testing::TempFolder temp;
  const std::string folder = temp.File("Pictures/Rallix");
  std::vector<std::string> said;
  Screenshots screenshots(folder, [&said](const std::string& line) { said.push_back(line); });
  Surface frame;
  frame.Set(17, 300, kWhite);
  frame.Set(600, 2, kWhite);
  const std::string first = screenshots.Save(frame, Moment());
  EXPECT_EQ(first, folder + "/rallix-20250131-235905.png");
  EXPECT_EQ(PictureIn(first), frame);
  // The same second again: "-2"; one of the next name there already: past it.
  testing::WriteFile(folder + "/rallix-20250131-235905-3.png", {'m', 'i', 'n', 'e'});
  frame.Set(18, 300, kWhite);
  EXPECT_EQ(screenshots.Save(frame, Moment()), folder + "/rallix-20250131-235905-2.png");
  EXPECT_EQ(screenshots.Save(frame, Moment()), folder + "/rallix-20250131-235905-4.png");
  EXPECT_EQ(PictureIn(folder + "/rallix-20250131-235905-4.png"), frame);
  EXPECT_EQ(ReadSmallFile(folder + "/rallix-20250131-235905-3.png", 100).bytes, "mine");
  EXPECT_NE(PictureIn(first), frame) << "the first picture was written over";
  const std::vector<std::string> lines = {
      "rallix: screenshot " + folder + "/rallix-20250131-235905.png",
      "rallix: screenshot " + folder + "/rallix-20250131-235905-2.png",
      "rallix: screenshot " + folder + "/rallix-20250131-235905-4.png"};
  EXPECT_EQ(said, lines);
  EXPECT_EQ(screenshots.Took().count, 3);
}

TEST(Screenshots, AFolderThatCannotBeHadIsNamedOnceAndTheGameGoesOn) {
  testing::TempFolder temp;
  testing::WriteFile(temp.File("Pictures"), {'x'});
  std::vector<std::string> said;
  const auto say = [&said](const std::string& line) { said.push_back(line); };
  Screenshots blocked(temp.File("Pictures/Rallix"), say);
  EXPECT_EQ(blocked.Save(Surface(), Moment()), "");
  EXPECT_EQ(blocked.Save(Surface(), Moment()), "");
  Screenshots nowhere("", say);
  EXPECT_EQ(nowhere.Save(Surface(), Moment()), "");
  EXPECT_EQ(nowhere.Save(Surface(), Moment()), "");
  const std::vector<std::string> lines = {
      "rallix: cannot save screenshots in " + temp.File("Pictures/Rallix") + ": Not a directory",
      "rallix: no folder for screenshots: the system names no pictures folder; "
      "--screenshot-dir DIR gives one"};
  EXPECT_EQ(said, lines);
}

TEST(PicturesFolder, AsTheUserDirsFileNamesIt) {
  const std::string typical =
      "# This file is written by xdg-user-dirs-update\n"
      "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
      "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
  EXPECT_EQ(PicturesFolderOfUserDirs(typical, "/home/ana"), "/home/ana/Bilder");
  EXPECT_EQ(PicturesFolderOfUserDirs("XDG_PICTURES_DIR=\"/data/my \\\"pics\\\"/\"\n", "/home/ana"),
            "/data/my \"pics\"");
  EXPECT_EQ(PicturesFolderOfUserDirs(typical + "XDG_PICTURES_DIR=\"$HOME/\"\n", "/home/ana/"), "")
      << "the home folder itself: no pictures folder wanted";
  EXPECT_EQ(PicturesFolderOfUserDirs("XDG_PICTURES_DIR=\"Pictures\"\n", "/home/ana"), "");
  EXPECT_EQ(PicturesFolderOfUserDirs("XDG_PICTURES_DIR=$HOME/Pictures\n", "/home/ana"), "");
  EXPECT_EQ(PicturesFolderOfUserDirs("XDG_PICTURES_DIR=\"$HOMEWORK\"\n", "/home/ana"), "");
  EXPECT_EQ(PicturesFolderOfUserDirs("", "/home/ana"), "");
}

}  // namespace
}  // namespace rallix
