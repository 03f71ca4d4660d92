// The gamepad mappings file named in the environment: only a regular file of
// a sane size reaches SDL.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "sdl/input/pad_mappings_file.h"
#include "tests/support/temp_folder.h"

namespace rallix {
namespace {

TEST(PadMappingsFile, OnlyARegularFileOfASaneSizeIsRead) {
  testing::TempFolder folder;
  const std::string good = folder.File("mappings.txt");
  std::ofstream(good) << "# no mappings\n";
  EXPECT_EQ(PadMappingsFileRefusal(good), std::nullopt);

  const std::string pipe = folder.File("pipe");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(PadMappingsFileRefusal(pipe), "not a regular file");
  EXPECT_EQ(PadMappingsFileRefusal(folder.Path()), "a folder, not a file");
  EXPECT_EQ(PadMappingsFileRefusal(folder.File("missing.txt")), "not found");

  // Two gigabytes, without writing them: a file with a hole.
  const std::string huge = folder.File("huge.txt");
  std::ofstream(huge).close();
  std::filesystem::resize_file(huge, uintmax_t{2} << 30);
  EXPECT_EQ(PadMappingsFileRefusal(huge), "larger than 4 MB");
  std::filesystem::resize_file(huge, kMaxPadMappingsFileBytes);
  EXPECT_EQ(PadMappingsFileRefusal(huge), std::nullopt);
}

TEST(PadMappingsFile, ARefusedFileIsNamedAndSdlStartsWithoutIt) {
  testing::TempFolder folder;
  const std::string pipe = folder.File("pipe");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  setenv(SDL_HINT_GAMECONTROLLERCONFIG_FILE, pipe.c_str(), 1);
  ::testing::internal::CaptureStderr();
  RefuseUnusablePadMappingsFile();
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, "rallix: the gamepad mappings in SDL_GAMECONTROLLERCONFIG_FILE=" + pipe +
                      " are not read (not a regular file); the game starts without them\n");
  // SDL sees no file, so its game controllers start at once.
  EXPECT_STREQ(SDL_GetHint(SDL_HINT_GAMECONTROLLERCONFIG_FILE), "");
  ASSERT_EQ(SDL_Init(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
  SDL_Quit();
  SDL_ResetHints();
  unsetenv(SDL_HINT_GAMECONTROLLERCONFIG_FILE);
}

}  // namespace
}  // namespace rallix
