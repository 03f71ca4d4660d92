// What the sound search takes on a real file system, and the lines on stderr
// when the game starts: only a file the game can play, in a working folder
// of any depth.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "sdl/app/run_game.h"
#include "sdl/sound/folders.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wav_variants.h"

namespace rallix {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;

// A short sound the game can play: a tenth of a second of 16-bit mono.
std::vector<uint8_t> GoodWav() {
  return testing::PcmWav(22050, 1, 16, 2205, 1000);
}

TEST(SoundSearch, OnlyAFileTheGameCanPlayIsTaken) {
  TempFolder root;
  const fs::path base = root.Path();
  const auto look = [&](const std::string& name) {
    const SoundFileLook seen = LookAtSoundFile(base / name);
    return seen.kind == SoundFileLook::Kind::kPlayable ? std::string("playable") : seen.why;
  };
  root.Write("good.WAV", GoodWav());
  fs::create_symlink(base / "good.WAV", base / "link.WAV");
  std::vector<uint8_t> cut = GoodWav();
  cut.resize(30);  // inside the header
  root.Write("cut.WAV", cut);
  root.Write("garbage.WAV", {'M', 'Z', 0x90, 0, 3, 0, 0, 0});
  root.Write("empty.WAV", {});
  fs::create_directory(base / "folder.WAV");
  ASSERT_EQ(mkfifo((base / "pipe.WAV").c_str(), 0600), 0);
  fs::create_symlink(base / "nowhere.WAV", base / "broken.WAV");
  root.Write("huge.WAV", GoodWav());
  fs::resize_file(base / "huge.WAV", uintmax_t{17} << 20);

  EXPECT_EQ(look("good.WAV"), "playable");
  EXPECT_EQ(look("link.WAV"), "playable");
  EXPECT_EQ(look("cut.WAV"), "not a WAV file the game can play");
  EXPECT_EQ(look("garbage.WAV"), "not a WAV file the game can play");
  EXPECT_EQ(look("empty.WAV"), "empty");
  EXPECT_EQ(look("folder.WAV"), "a folder");
  EXPECT_EQ(look("pipe.WAV"), "not a regular file");
  EXPECT_EQ(look("huge.WAV"), "larger than 16 MB");
  EXPECT_EQ(LookAtSoundFile(base / "broken.WAV").kind, SoundFileLook::Kind::kNothing);
  EXPECT_EQ(LookAtSoundFile(base / "missing.WAV").kind, SoundFileLook::Kind::kNothing);
}

// What the game said on stderr, started in the working folder. (The other
// folders searched are the test program's own and the installed data
// folders, which hold none of the game's sounds.)
std::string SaidWhenStarted() {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  ::testing::internal::CaptureStderr();
  const int status = RunOnSdl([](SdlPlatform&) { return 7; });
  unsetenv("SDL_VIDEODRIVER");
  EXPECT_EQ(status, 7) << "the game runs all the same";
  return ::testing::internal::GetCapturedStderr();
}

TEST(SoundSearch, AFilePassedOverIsNamedOnceAndASoundUsableNowhereOnce) {
  TempFolder folder;
  for (const char* name : {"pon.WAV", "pin.WAV", "pipopin.WAV"})
    folder.Write(name, GoodWav());
  folder.Write("pupu.WAV", {1, 2, 3});
  testing::WorkingDirectory in_folder(folder.Path());
  const std::string said = SaidWhenStarted();
  const std::string first = "rallix: sound file pupu.WAV in " + fs::current_path().string() +
                            " not used: not a WAV file the game can play\n";
  EXPECT_EQ(said.substr(0, first.size()), first) << said;
  const std::string second = "rallix: sound file pupu.WAV not usable (looked in ";
  EXPECT_EQ(said.substr(first.size(), second.size()), second) << said;
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
}

TEST(SoundSearch, AWorkingFolderDeeperThanTheSystemsLimitStillHasItsSounds) {
  TempFolder root;
  testing::WorkingDirectory back(root.Path());
  // Over 4200 characters of path: made a step at a time, as no call takes
  // it whole.
  const std::string step(200, 'd');
  int depth = 0;
  for (size_t length = root.Path().size(); length <= 4200; length += step.size() + 1, ++depth) {
    ASSERT_EQ(mkdir(step.c_str(), 0700), 0);
    ASSERT_EQ(chdir(step.c_str()), 0);
  }
  const char* names[] = {"pon.WAV", "pin.WAV", "pupu.WAV", "pipopin.WAV"};
  for (const char* name : names)
    testing::WriteFile(name, GoodWav());
  EXPECT_EQ(SaidWhenStarted(), "");
  for (const char* name : names)
    unlink(name);
  for (; depth > 0; --depth) {
    ASSERT_EQ(chdir(".."), 0);
    ASSERT_EQ(rmdir(step.c_str()), 0);
  }
}

}  // namespace
}  // namespace rallix
