// The settings file: what a player's file gives and which of its lines are
// named, a change written into it with everything else kept, and the file on
// the disk when it is missing, cannot be read or written, is a link, is
// written by two games at once or has its folder locked by another program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "sdl/settings/settings_file.h"
#include "sdl/settings/settings_keeper.h"
#include "sdl/settings/settings_text.h"
#include "sdl/system/files.h"
#include "tests/support/temp_folder.h"

namespace rallix {
namespace {

TEST(SettingsText, APlayersFileGivesWhatItSaysAndNamesEachLineItDoesNot) {
  const SettingsRead read = ReadSettings(
      "scale = 2\n"               // 1
      "# Rallix, as I like it\n"  // 2
      "[Display]\n"               // 3
      "  Scale = 3\n"             // 4
      "fullscreen = TRUE\n"       // 5
      "\n"                        // 6
      "[sound]\n"                 // 7
      "volume = 70\n"             // 8
      "volume = loud\n"           // 9
      "volume =\n"                // 10
      "mute = maybe\n"            // 11
      "colour = red\n"            // 12
      "[keys]\n"                  // 13
      "down = Down S\n"           // 14
      "just some words\n"         // 15
      "[network]\n"               // 16
      "anything at all, another game's\n"
      "[display\r\n");
  EXPECT_EQ(read.values.scale, 3);
  EXPECT_EQ(read.values.fullscreen, true);
  EXPECT_EQ(read.values.volume, 70) << "a damaged value keeps the one before it";
  EXPECT_EQ(read.values.mute, std::nullopt);
  ASSERT_EQ(read.keys.size(), 1u);
  EXPECT_EQ(read.keys[0].number, 14);
  EXPECT_EQ(read.keys[0].action, "down");
  EXPECT_EQ(read.keys[0].keys, "Down S");
  const std::vector<std::string> damaged = {
      "line 1, \"scale = 2\": it comes before any [section]",
      "line 9, \"volume = loud\": volume takes a whole number from 0 to 100",
      "line 10, \"volume =\": volume takes a whole number from 0 to 100",
      "line 11, \"mute = maybe\": mute takes true or false",
      "line 12, \"colour = red\": there is no setting 'colour' in [sound]",
      "line 15, \"just some words\": it is neither a [section] nor a setting = value"};
  EXPECT_EQ(read.damaged, damaged);

  // Before any section; and a name repeated as the terminal may print it.
  const std::vector<std::string> named = {
      "line 1, \"junk\": it is neither a [section] nor a setting = value",
      "line 3, \"a\\x1B[2J\\x00b = 1\": there is no setting 'a\\x1B[2j\\x00b' in [sound]"};
  EXPECT_EQ(ReadSettings(std::string("junk\n[sound]\na\x1b[2J\0b = 1\n", 25)).damaged, named);
}

TEST(SettingsText, OtherEditorsWaysReadAsTheirWriterMeantAndAChangeKeepsThem) {
  for (const std::string text : {"\xEF\xBB\xBF[display]\nscale = 2\n", "[display]\rscale = 2\r",
                                 "; by hand\n[display]\n;scale = 4\nscale = 2\n"}) {
    const SettingsRead read = ReadSettings(text);
    EXPECT_EQ(read.values.scale, 2) << text;
    EXPECT_EQ(read.damaged, std::vector<std::string>{}) << text;
  }
  EXPECT_EQ(WithSetting("\xEF\xBB\xBF[sound]\rmute = false\r", "display", "scale", "2"),
            "\xEF\xBB\xBF[sound]\rmute = false\r[display]\rscale = 2\r");
}

TEST(SettingsText, AChangeTakesOneLineAndKeepsEveryOtherAsItWas) {
  const std::string file =
      "# my settings\n"
      "[sound]\n"
      "volume = 70\n"
      "  # louder at night\n"
      "volume = 90\n"
      "echo = on\n"
      "\n"
      "[display]\n"
      "scale = 2";
  EXPECT_EQ(WithSetting(file, "sound", "volume", "40"),
            "# my settings\n[sound]\nvolume = 70\n  # louder at night\nvolume = 40\necho = on\n"
            "\n[display]\nscale = 2\n");
  EXPECT_EQ(WithSetting(file, "sound", "mute", "true"),
            "# my settings\n[sound]\nvolume = 70\n  # louder at night\nvolume = 90\necho = on\n"
            "mute = true\n\n[display]\nscale = 2\n");
  EXPECT_EQ(WithSetting(file, "display", "fullscreen", "true"), file + "\nfullscreen = true\n");
  EXPECT_EQ(WithSetting("", "sound", "mute", "true"), "[sound]\nmute = true\n");
  EXPECT_EQ(WithSetting("[Sound]\r\nMute = false\r\n", "sound", "mute", "true"),
            "[Sound]\r\nmute = true\r\n");
}

class SettingsOnDisk : public ::testing::Test {
 protected:
  SettingsFile File() {
    return SettingsFile(folder_, path_, [this](const std::string& line) { said_.push_back(line); });
  }
  static bool Keep(SettingsFile& file, const char* section, const char* name, const char* value) {
    return file.Save({{section, name, value}}) == SaveResult::kKept;
  }
  // The names in the folder `folder` of the test's.
  std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(temp_.File(folder)))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Text() { return ReadSmallFile(path_, 1 << 20).bytes; }

  testing::TempFolder temp_;
  std::string folder_ = temp_.File("config/rallix");
  std::string path_ = folder_ + "/settings.ini";
  std::vector<std::string> said_;
};

TEST_F(SettingsOnDisk, NoFileGivesNothingUntilAChangeMakesTheFolderAndTheFile) {
  SettingsFile file = File();
  const SettingsRead read = file.Load();
  EXPECT_FALSE(read.values.volume || read.values.scale || read.values.mute);
  EXPECT_FALSE(std::filesystem::exists(temp_.File("config"))) << "nothing is written unasked";
  ASSERT_TRUE(Keep(file, "sound", "mute", "true"));
  ASSERT_TRUE(Keep(file, "sound", "volume", "30"));
  EXPECT_EQ(Text(), "[sound]\nmute = true\nvolume = 30\n");
  EXPECT_EQ(said_, std::vector<std::string>{});
  // Nothing left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);
}

TEST_F(SettingsOnDisk, AFileThatCannotBeReadIsNamedOnceAndNeverWrittenOver) {
  ASSERT_EQ(MakeFolders(path_), "");  // a folder where the file should be
  SettingsFile file = File();
  file.Load();
  EXPECT_FALSE(Keep(file, "sound", "mute", "true"));
  EXPECT_FALSE(Keep(file, "sound", "mute", "false"));
  const std::vector<std::string> expected = {
      "rallix: cannot read the settings " + path_ +
          ": it is a folder; the game starts with its own",
      "rallix: cannot keep the settings in " + path_ +
          ": the file there cannot be read (it is a folder)"};
  EXPECT_EQ(said_, expected);
  EXPECT_TRUE(std::filesystem::is_directory(path_));
}

TEST_F(SettingsOnDisk, AFolderThatCannotBeWrittenIsNamedOnceAndTheFileStaysWhole) {
  // A file where the folder should be: nothing can be made there.
  testing::WriteFile(temp_.File("config"), {'x'});
  SettingsFile file = File();
  EXPECT_FALSE(Keep(file, "sound", "mute", "true"));
  EXPECT_FALSE(Keep(file, "sound", "volume", "10"));
  EXPECT_EQ(said_, std::vector<std::string>{"rallix: cannot keep the settings in " + path_ +
                                            ": Not a directory"});
  std::filesystem::remove(temp_.File("config"));
  if (geteuid() == 0)
    return;  // root writes into any folder
  // A folder it may not write in: the file there stays as it was.
  ASSERT_EQ(MakeFolders(folder_), "");
  testing::WriteFile(path_, {'[', 's', 'o', 'u', 'n', 'd', ']', '\n'});
  ASSERT_EQ(chmod(folder_.c_str(), 0555), 0);
  said_.clear();
  SettingsFile again = File();
  EXPECT_FALSE(Keep(again, "sound", "mute", "true"));
  chmod(folder_.c_str(), 0755);
  EXPECT_EQ(said_, std::vector<std::string>{"rallix: cannot keep the settings in " + path_ +
                                            ": Permission denied"});
  EXPECT_EQ(Text(), "[sound]\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);
}

TEST_F(SettingsOnDisk, TwoGamesWritingAtOnceLoseNeithersChangeAndTheFileIsAlwaysWhole) {
  ASSERT_EQ(MakeFolders(folder_), "");
  const std::string mine = "# kept by hand\n[keys]\nleft = A\n";
  testing::WriteFile(path_, std::vector<uint8_t>(mine.begin(), mine.end()));
  std::atomic<bool> writing{true};
  std::atomic<long> torn{0};
  // A reader meanwhile sees the file whole every time: the comment, the
  // keys and no damaged line.
  std::thread reader([&] {
    while (writing) {
      const std::string text = ReadSmallFile(path_, 1 << 20).bytes;
      const SettingsRead read = ReadSettings(text);
      if (text.rfind(mine, 0) != 0 || !read.damaged.empty() || read.keys.size() != 1)
        ++torn;
    }
  });
  constexpr int kChanges = 100;
  const auto game = [&](const char* section, const char* name) {
    SettingsFile file = File();
    for (int i = 1; i <= kChanges; ++i)
      Keep(file, section, name, i % 2 == 0 ? "true" : "false");
  };
  std::thread first(game, "sound", "mute");
  std::thread second(game, "display", "fullscreen");
  first.join();
  second.join();
  writing = false;
  reader.join();
  EXPECT_EQ(torn, 0);
  const SettingsRead read = ReadSettings(Text());
  EXPECT_EQ(read.values.mute, true);
  EXPECT_EQ(read.values.fullscreen, true);
  EXPECT_EQ(said_, std::vector<std::string>{});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1)
      << "a file left beside it";
}

TEST_F(SettingsOnDisk, ALinkLeadsToTheFileWhoseModeStaysAndAReadOnlyFileIsLeftAlone) {
  // The settings a link to a dotfile: made through it, then kept at mode
  // 0600 beside copies killed writers left: an ended process's and an old
  // one go; a live game's (this process's) stays, and so does another name.
  const std::string dotfile = temp_.File("dotfiles/rallix.ini");
  ASSERT_EQ(MakeFolders(temp_.File("dotfiles")) + MakeFolders(folder_), "");
  ASSERT_EQ(symlink("../../dotfiles/rallix.ini", path_.c_str()), 0);
  SettingsFile file = File();
  ASSERT_TRUE(Keep(file, "sound", "volume", "30"));
  ASSERT_EQ(chmod(dotfile.c_str(), 0600), 0);
  const std::string mine = "rallix.ini.new-" + std::to_string(getpid());
  // No process has the first two numbers; the others are no writer's names.
  for (const std::string name :
       {"rallix.ini.new-4194304-1", "rallix.ini.new-4294967295-1", "rallix.ini.new-x-1",
        "rallix.ini.new-10000000000-1", "rallix.ini.old-4194304-1"})
    testing::WriteFile(temp_.File("dotfiles/") + name, {'?'});
  for (const std::string tail : {"-7", "-8"})
    testing::WriteFile(temp_.File("dotfiles/") + mine + tail, {'?'});
  const utimbuf two_hours_ago{time(nullptr) - 7200, time(nullptr) - 7200};
  ASSERT_EQ(utime(temp_.File("dotfiles/" + mine + "-8").c_str(), &two_hours_ago), 0);
  ASSERT_TRUE(Keep(file, "sound", "mute", "true"));
  EXPECT_TRUE(std::filesystem::is_symlink(path_));
  EXPECT_EQ(ReadSmallFile(dotfile, 100).bytes, "[sound]\nvolume = 30\nmute = true\n");
  struct stat info {};
  ASSERT_EQ(stat(dotfile.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
  std::vector<std::string> left = {"rallix.ini", mine + "-7", "rallix.ini.new-10000000000-1",
                                   "rallix.ini.new-x-1", "rallix.ini.old-4194304-1"};
  std::sort(left.begin(), left.end());
  EXPECT_EQ(Names("dotfiles"), left);

  // Marked read-only (which binds root as well): named once, never replaced.
  ASSERT_EQ(chmod(dotfile.c_str(), 0444), 0);
  EXPECT_FALSE(Keep(file, "sound", "mute", "false"));
  EXPECT_FALSE(Keep(file, "sound", "volume", "10"));
  EXPECT_EQ(said_, std::vector<std::string>{"rallix: cannot keep the settings in " + path_ +
                                            ": it is read-only"});
  EXPECT_EQ(ReadSmallFile(dotfile, 100).bytes, "[sound]\nvolume = 30\nmute = true\n");

  // A rename that fails leaves no copy behind; a link to itself is no file.
  ASSERT_EQ(MakeFolders(folder_ + "/taken/inside"), "");
  ASSERT_EQ(symlink("loop", (folder_ + "/loop").c_str()), 0);
  std::string error;
  EXPECT_FALSE(ReplaceWholeFile(folder_ + "/taken", "x", error));
  EXPECT_EQ(error, "Is a directory");
  EXPECT_FALSE(ReplaceWholeFile(folder_ + "/loop", "x", error));
  EXPECT_EQ(error, "Too many levels of symbolic links");
  // A link by its full path, to a file not made yet, is written through.
  ASSERT_EQ(symlink(temp_.File("dotfiles/new.ini").c_str(), (folder_ + "/linked").c_str()), 0);
  EXPECT_TRUE(ReplaceWholeFile(folder_ + "/linked", "new", error)) << error;
  EXPECT_EQ(ReadSmallFile(temp_.File("dotfiles/new.ini"), 100).bytes, "new");
  // A disk that fills while the copy is written: the old file stays whole.
  testing::WriteFile(folder_ + "/full", {'o', 'l', 'd'});
  rlimit was{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &was), 0);
  const rlimit full{4, was.rlim_max};
  const auto handler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
  EXPECT_FALSE(ReplaceWholeFile(folder_ + "/full", "no room for this", error));
  setrlimit(RLIMIT_FSIZE, &was);
  signal(SIGXFSZ, handler);
  EXPECT_EQ(error + ReadSmallFile(folder_ + "/full", 100).bytes, "File too largeold");
  EXPECT_EQ(Names("config/rallix"),
            (std::vector<std::string>{"full", "linked", "loop", "settings.ini", "taken"}));
}

TEST_F(SettingsOnDisk, ALockHeldByAnotherProgramHoldsUpNeitherTheGameNorItsEnd) {
  ASSERT_EQ(MakeFolders(folder_), "");
  testing::WriteFile(path_, {'#', '\n'});
  // Another program holds the folder's lock a while: a keeper that waited
  // for it at the end would keep the changes, and say nothing.
  const int other = open(folder_.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(other, LOCK_EX), 0);
  std::thread lets_go([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    close(other);
  });
  {
    SettingsKeeper keeper(File());
    keeper.Keep({"sound", "mute", "true"});
    keeper.Keep({"sound", "volume", "40"});
    keeper.Keep({"sound", "mute", "false"});
    keeper.Finish(std::chrono::milliseconds(100));
    keeper.Keep({"display", "scale", "2"});  // after the end: nothing
  }
  EXPECT_EQ(said_,
            std::vector<std::string>{"rallix: volume = 40, mute = false could not be kept in " +
                                     path_ + ": another program holds the lock on its folder"});
  EXPECT_EQ(Text(), "#\n");
  // Let go while the game plays on: kept then; so is a later change, at
  // once, and the end waits for the last.
  said_.clear();
  SettingsKeeper keeper(File());
  keeper.Keep({"sound", "mute", "true"});
  lets_go.join();
  const auto kept = [this](const std::string& text) {  // within 10 s
    for (int look = 0; look < 2000 && Text() != text; ++look)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(Text(), text);
  };
  kept("#\n[sound]\nmute = true\n");
  keeper.Keep({"sound", "volume", "40"});
  kept("#\n[sound]\nmute = true\nvolume = 40\n");
  keeper.Keep({"display", "scale", "2"});
  keeper.Finish(kKeepingAtTheEnd);
  EXPECT_EQ(Text(), "#\n[sound]\nmute = true\nvolume = 40\n[display]\nscale = 2\n");
  EXPECT_EQ(said_, std::vector<std::string>{});
}

}  // namespace
}  // namespace rallix
