// Which file the sound search takes on a real file system, and the line on
// stderr for each sound it finds nowhere when the game starts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "sdl/sdl_session.h"
#include "sdl/sound_folders.h"
#include "tests/support/temp_folder.h"

namespace rallix {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

TEST(SoundSearch, TheFirstRegularFileIsTakenAndFoldersPipesAndBrokenLinksAreNot) {
  TempFolder root;
  const fs::path base = root.Path();
  for (const char* folder : {"a", "b", "c", "d", "e"})
    fs::create_directory(base / folder);
  fs::create_directory(base / "a" / "pon.WAV");
  ASSERT_EQ(mkfifo((base / "b" / "pon.WAV").c_str(), 0600), 0);
  fs::create_symlink(base / "nowhere.WAV", base / "c" / "pon.WAV");
  root.Write("d/pon.WAV", {});  // empty: taken all the same, and plays nothing
  root.Write("e/pon.WAV", {1, 2, 3});
  root.Write("e/pin.WAV", {1, 2, 3});
  fs::create_symlink(base / "e" / "pin.WAV", base / "b" / "pin.WAV");

  const SoundLocations sounds = SoundLocations::Find(
      {"pon.WAV", "pin.WAV", "pupu.WAV"},
      {base / "a", base / "b", base / "c", base / "d", base / "e"}, IsSoundFile);
  EXPECT_EQ(sounds.FileFor("pon.WAV"), (base / "d" / "pon.WAV").string());
  EXPECT_EQ(sounds.FileFor("pin.WAV"), (base / "b" / "pin.WAV").string()) << "a link to a file";
  EXPECT_EQ(sounds.FileFor("pupu.WAV"), "pupu.WAV");
  EXPECT_EQ(sounds.MissingLines().size(), 1u);
}

// The game started in a folder whose "pupu.WAV" is a folder: one line on
// stderr for it, naming this folder first, and the game runs. (The other
// folders searched are the test program's own and the installed data
// folders, which hold none of the game's sounds.)
TEST(SoundSearch, ASoundFoundNowhereIsOneLineOnStderrBeforeTheGameRuns) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  TempFolder folder;
  for (const char* name : {"pon.WAV", "pin.WAV", "pipopin.WAV"})
    folder.Write(name, {1, 2, 3});
  fs::create_directory(folder.File("pupu.WAV"));
  testing::WorkingDirectory in_folder(folder.Path());
  const std::string here = fs::current_path().string();

  ::testing::internal::CaptureStderr();
  bool ran = false;
  const int status = RunOnSdl([&](SdlPlatform&) {
    ran = true;
    return 7;
  });
  const std::string said = ::testing::internal::GetCapturedStderr();
  unsetenv("SDL_VIDEODRIVER");

  EXPECT_TRUE(ran);
  EXPECT_EQ(status, 7);
  const std::string start = "rallix: sound file pupu.WAV not found (looked in " + here + ", ";
  const std::string end = "); the game plays without it\n";
  EXPECT_EQ(said.substr(0, start.size()), start) << said;
  ASSERT_GE(said.size(), end.size()) << said;
  EXPECT_EQ(said.substr(said.size() - end.size()), end) << said;
  EXPECT_EQ(said.find('\n'), said.size() - 1) << "more than one line: " << said;
}

}  // namespace
}  // namespace rallix
