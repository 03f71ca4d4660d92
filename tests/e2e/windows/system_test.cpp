// The Windows side of the player's files and folders, run under Wine by the
// Windows test: what the game's own runs there never meet (a folder named
// with its separator, a file over its bound, a name that is no UTF-8, a lock
// waited for and given up).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "sdl/system/files.h"
#include "sdl/system/user_folders.h"

namespace rallix {
namespace {

class WindowsFiles : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    folder_ = JoinPath(temp, "rallix-system-" + std::to_string(GetCurrentProcessId()));
    ASSERT_EQ(MakeFolders(folder_), "");
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::u8path(folder_), ignored);
  }
  std::string In(const std::string& name) const { return JoinPath(folder_, name); }
  std::string folder_;
};

TEST_F(WindowsFiles, NamesJoinFoldersAreMadeFromTheTopDownAndThePlayersFoldersFound) {
  EXPECT_EQ(JoinPath("C:\\a", "b"), "C:\\a\\b");
  EXPECT_EQ(JoinPath("C:\\a\\", "b"), "C:\\a\\b");
  EXPECT_EQ(JoinPath("C:/a/", "b"), "C:/a/b");
  EXPECT_EQ(JoinPath("", "b"), "b");
  EXPECT_EQ(MakeFolders(In("été\\deep\\er")), "");
  EXPECT_EQ(MakeFolders(In("été\\deep\\er")), "");  // there already
  std::string error;
  ASSERT_EQ(WriteNewFile(In("file"), {'x'}, error), NewFile::kWritten);
  EXPECT_NE(MakeFolders(In("file")), "");
  EXPECT_NE(MakeFolders(In("file\\below")), "");
  EXPECT_EQ(MakeFolders("\xff"), "not a valid folder name");
  ASSERT_EQ(_putenv_s("APPDATA", "C:\\roaming"), 0);
  EXPECT_EQ(SettingsFolder(), "C:\\roaming\\Rallix");
  ASSERT_EQ(_putenv_s("APPDATA", ""), 0);
  EXPECT_EQ(SettingsFolder(), "");
  // The Pictures known folder, not the profile's Pictures as a fallback.
  ASSERT_EQ(_putenv_s("USERPROFILE", "C:\\nowhere"), 0);
  EXPECT_NE(PicturesFolder(), "C:\\nowhere\\Pictures");
  EXPECT_NE(PicturesFolder(), "");
}

TEST_F(WindowsFiles, ASmallFileIsReadWholeUpToItsBoundAndAMissingOneSaysSo) {
  std::string error;
  const std::vector<uint8_t> bytes(40000, 'r');  // more than one read
  ASSERT_EQ(WriteNewFile(In("big"), bytes, error), NewFile::kWritten) << error;
  EXPECT_EQ(WriteNewFile(In("big"), {'y'}, error), NewFile::kExists);
  SmallFile read = ReadSmallFile(In("big"), 40000);
  EXPECT_EQ(read.kind, SmallFile::Kind::kRead);
  EXPECT_EQ(read.bytes, std::string(bytes.begin(), bytes.end()));
  read = ReadSmallFile(In("big"), 39999);
  EXPECT_EQ(read.kind, SmallFile::Kind::kUnreadable);
  EXPECT_EQ(read.error + read.bytes, "it is larger than 39999 bytes");
  EXPECT_EQ(ReadSmallFile(In("gone"), 10).kind, SmallFile::Kind::kMissing);
  EXPECT_EQ(ReadSmallFile(folder_, 10).error, "it is a folder");
  // Windows' own words for what failed, without their full stop.
  EXPECT_EQ(WriteNewFile(In("none\\new"), {'n'}, error), NewFile::kFailed);
  EXPECT_FALSE(error.empty());
  EXPECT_NE(error.back(), '.');
  EXPECT_EQ(ReadSmallFile(In("none\\new"), 10).kind, SmallFile::Kind::kMissing);
}

TEST_F(WindowsFiles, AFileIsReplacedWholeUnlessReadOnlyAndLeftoverCopiesOfEndedWritersGo) {
  std::string error;
  const std::string path = In("settings.ini");
  ASSERT_TRUE(ReplaceWholeFile(path, "one", error)) << error;
  ASSERT_TRUE(ReplaceWholeFile(path, "two", error)) << error;
  EXPECT_EQ(ReadSmallFile(path, 10).bytes, "two");
  // A writer that no longer runs, this one, which does, and a copy of its
  // number two hours old (another process's, long ended).
  const std::string ended = CopyNameFor(path, 4194304, 1);
  const std::string live = CopyNameFor(path, GetCurrentProcessId(), 999);
  const std::string old = CopyNameFor(path, GetCurrentProcessId(), 998);
  for (const std::string& copy : {ended, live, old})
    ASSERT_EQ(WriteNewFile(copy, {'?'}, error), NewFile::kWritten);
  std::filesystem::last_write_time(
      std::filesystem::u8path(old),
      std::filesystem::file_time_type::clock::now() - std::chrono::hours(2));
  ASSERT_TRUE(ReplaceWholeFile(path, "three", error)) << error;
  EXPECT_EQ(ReadSmallFile(ended, 10).kind, SmallFile::Kind::kMissing);
  EXPECT_EQ(ReadSmallFile(old, 10).kind, SmallFile::Kind::kMissing);
  EXPECT_EQ(ReadSmallFile(live, 10).bytes, "?");
  ASSERT_NE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY), 0);
  EXPECT_FALSE(ReplaceWholeFile(path, "four", error));
  EXPECT_EQ(error, "it is read-only");
  EXPECT_EQ(ReadSmallFile(path, 10).bytes, "three");
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);  // for the clean-up
  EXPECT_FALSE(ReplaceWholeFile(In("none\\settings.ini"), "five", error));
  EXPECT_FALSE(ReplaceWholeFile("\xff", "six", error));
  EXPECT_EQ(error, "not a valid file name");
}

TEST_F(WindowsFiles, ALockIsWaitedForUntilLetGoOrGivenUp) {
  auto held = std::make_unique<FolderLock>(folder_);
  ASSERT_TRUE(held->Held() && held->Error().empty()) << held->Error();
  // Another thread: a mutex is its owner thread's to take again.
  std::atomic<int> asked{0};
  std::thread([&] {
    const FolderLock waited(folder_, [&] { return ++asked == 3; });
    EXPECT_FALSE(waited.Held());
    EXPECT_EQ(waited.Error(), kLockTakenText);
  }).join();
  EXPECT_EQ(asked, 3);
  std::thread other([&] {
    const FolderLock waited(folder_, [] { return false; });
    EXPECT_TRUE(waited.Held()) << waited.Error();
  });
  Sleep(150);
  held.reset();
  other.join();
  EXPECT_TRUE(FolderLock(In("elsewhere")).Held());
}

}  // namespace
}  // namespace rallix
