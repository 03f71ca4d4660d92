// Where the game looks for its sounds, on a pretend file system: the order of
// the folders, the file each sound is played from, and the line for a sound
// found nowhere.
#include <gtest/gtest.h>

#include <set>

#include "sdl/sound_folders.h"

namespace rallix {
namespace {

namespace fs = std::filesystem;

TEST(SoundFolders, WorkingFolderThenExecutableThenDataBesideItThenTheConfiguredOne) {
  EXPECT_EQ(SoundFolders("/home/ann", "/usr/games/", "../share/rallix", "/usr/local/share/rallix"),
            (std::vector<fs::path>{"/home/ann", "/usr/games", "/usr/share/rallix",
                                   "/usr/local/share/rallix"}));
  // Started in its own folder from an install under the configured prefix:
  // each folder once. An executable folder that cannot be told is left out.
  EXPECT_EQ(SoundFolders("/opt/r/bin", "/opt/r/bin/", "../share/rallix", "/opt/r/share/rallix"),
            (std::vector<fs::path>{"/opt/r/bin", "/opt/r/share/rallix"}));
  EXPECT_EQ(SoundFolders("/tmp", "", "../share/rallix", "/usr/share/rallix"),
            (std::vector<fs::path>{"/tmp", "/usr/share/rallix"}));
}

TEST(SoundLocations, EachSoundComesFromTheFirstFolderThatHasIt) {
  const std::set<fs::path> files = {"/game/pon.WAV", "/data/pon.WAV", "/data/pin.WAV"};
  const SoundLocations sounds =
      SoundLocations::Find({"pon.WAV", "pin.WAV"}, {"/work", "/game", "/data"},
                           [&](const fs::path& path) { return files.count(path) > 0; });
  EXPECT_EQ(sounds.FileFor("pon.WAV"), "/game/pon.WAV");
  EXPECT_EQ(sounds.FileFor("pin.WAV"), "/data/pin.WAV");
  EXPECT_TRUE(sounds.MissingLines().empty());
  // A name never looked for is played by its own name.
  EXPECT_EQ(sounds.FileFor("other.WAV"), "other.WAV");
}

TEST(SoundLocations, ASoundFoundNowhereIsNamedInOneLineWithTheFoldersSearched) {
  const SoundLocations sounds =
      SoundLocations::Find({"pon.WAV", "pupu.WAV"}, {"/work", "/game"},
                           [](const fs::path& path) { return path == "/game/pon.WAV"; });
  ASSERT_EQ(sounds.MissingLines().size(), 1u);
  EXPECT_EQ(sounds.MissingLines()[0],
            "rallix: sound file pupu.WAV not found (looked in /work, /game); the game plays "
            "without it");
  // It is still asked for by its name, so it plays nothing and the game goes on.
  EXPECT_EQ(sounds.FileFor("pupu.WAV"), "pupu.WAV");
}

}  // namespace
}  // namespace rallix
