// Where the game looks for its sounds, on a pretend file system: the order of
// the folders, the file each sound is played from, and the lines on stderr
// for files passed over and sounds found usable nowhere.
#include <gtest/gtest.h>

#include <map>

#include "sdl/sound/folders.h"

namespace rallix {
namespace {

namespace fs = std::filesystem;

TEST(SoundFolders, WorkingFolderThenExecutableThenDataBesideItThenTheConfiguredOne) {
  // The working folder's files are looked up by their bare names.
  EXPECT_EQ(SoundFolders("/home/ann", "/usr/games/", "../share/rallix", "/usr/local/share/rallix"),
            (std::vector<SoundFolder>{{"", "/home/ann"},
                                      {"/usr/games", "/usr/games"},
                                      {"/usr/share/rallix", "/usr/share/rallix"},
                                      {"/usr/local/share/rallix", "/usr/local/share/rallix"}}));
  // Started in its own folder from an install under the configured prefix:
  // each folder once. A folder that cannot be told is left out or named so.
  EXPECT_EQ(SoundFolders("/opt/r/bin", "/opt/r/bin/", "../share/rallix", "/opt/r/share/rallix"),
            (std::vector<SoundFolder>{{"", "/opt/r/bin"},
                                      {"/opt/r/share/rallix", "/opt/r/share/rallix"}}));
  EXPECT_EQ(SoundFolders("", "", "../share/rallix", "/usr/share/rallix"),
            (std::vector<SoundFolder>{{"", "the working folder"},
                                      {"/usr/share/rallix", "/usr/share/rallix"}}));
  // A long name keeps its last 60 characters; control characters are escaped.
  const std::string deep = "/home/" + std::string(100, 'd') + "/games\x1b";
  EXPECT_EQ(SoundFolders(deep, "", "", "")[0].name, "..." + std::string(50, 'd') + "/games\\x1B");
}

TEST(SoundLocations, TheFirstPlayableFileWinsAndEachFilePassedOverIsNamedWithWhy) {
  using Kind = SoundFileLook::Kind;
  const std::map<fs::path, SoundFileLook> files = {
      {"pon.WAV", {Kind::kUnusable, "empty"}},           {"/game/pon.WAV", {Kind::kPlayable, ""}},
      {"/data/pon.WAV", {Kind::kPlayable, ""}},          {"/data/pin.WAV", {Kind::kPlayable, ""}},
      {"/game/pupu.WAV", {Kind::kUnusable, "a folder"}},
  };
  const auto look = [&](const fs::path& path) {
    const auto found = files.find(path);
    return found == files.end() ? SoundFileLook{} : found->second;
  };
  const SoundLocations sounds =
      SoundLocations::Find({"pon.WAV", "pin.WAV", "pupu.WAV", "pipopin.WAV"},
                           {{"", "/work"}, {"/game", "/game"}, {"/data", "/data"}}, look);
  EXPECT_EQ(sounds.FileFor("pon.WAV"), "/game/pon.WAV");
  EXPECT_EQ(sounds.FileFor("pin.WAV"), "/data/pin.WAV");
  // Found usable nowhere, or never looked for: played by its own name.
  EXPECT_EQ(sounds.FileFor("pupu.WAV"), "pupu.WAV");
  EXPECT_EQ(sounds.FileFor("other.WAV"), "other.WAV");
  EXPECT_EQ(sounds.Lines(),
            (std::vector<std::string>{
                "rallix: sound file pon.WAV in /work not used: empty",
                "rallix: sound file pupu.WAV in /game not used: a folder",
                "rallix: sound file pupu.WAV not usable (looked in /work, /game, /data); the game "
                "plays without it",
                "rallix: sound file pipopin.WAV not found (looked in /work, /game, /data); the "
                "game plays without it"}));
}

}  // namespace
}  // namespace rallix
