// Where the game's sounds are looked for, and the file each one is played
// from. The game asks for its sounds by their bare names ("pon.WAV"); each is
// looked for once, when the program starts, in these folders in turn:
//   1. the working folder,
//   2. the folder of the executable,
//   3. the data folder installed beside it (../share/rallix from there),
//   4. the data folder of the prefix the game was configured for.
// The Windows game, one folder with its sounds beside rallix.exe, looks in
// the first two only.
// The first file the game can play wins. A file that is there but cannot be
// played (a folder, garbage, empty, cut short, too large, unreadable) is
// named in one line on stderr with the reason, and the search goes on; a
// sound found usable nowhere is named in one line too, and the game plays on
// without it.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace rallix {

// One folder of the search.
struct SoundFolder {
  // Where its files are looked up. The working folder's are looked up by
  // their bare names: its whole path may be longer than the system takes.
  std::filesystem::path path;
  // How a line on stderr names it: its whole path, escaped and cut short.
  std::string name;
  friend bool operator==(const SoundFolder& a, const SoundFolder& b) {
    return a.path == b.path && a.name == b.name;
  }
};

// The folders to search, in the order above, each once. `working_folder` is
// the working folder's whole path, empty when it cannot be told; an
// executable folder that cannot be told (empty) is left out.
std::vector<SoundFolder> SoundFolders(const std::filesystem::path& working_folder,
                                      const std::filesystem::path& executable_folder,
                                      const std::filesystem::path& data_from_executable,
                                      const std::filesystem::path& configured_data_folder);

// What a look at one place a sound may lie found.
struct SoundFileLook {
  enum class Kind {
    kNothing,   // no file there
    kPlayable,  // a file the game can play
    kUnusable,  // something it cannot play, and why
  };
  Kind kind = Kind::kNothing;
  std::string why;
};

// The file each sound is played from.
class SoundLocations {
 public:
  // Every sound played by its own name, from the working folder.
  SoundLocations() = default;

  // Looks each of `names` up in `folders`, in order, with `look`.
  static SoundLocations Find(
      const std::vector<std::string>& names, const std::vector<SoundFolder>& folders,
      const std::function<SoundFileLook(const std::filesystem::path&)>& look);

  // Where the sound `name` was found; the name itself for one found nowhere
  // or never looked for.
  std::string FileFor(const std::string& name) const;
  // The files of the sounds that were found.
  std::vector<std::string> FoundFiles() const;
  // The lines for stderr, in the order of the search: one for each file
  // that is there but not used, and one for each sound found usable nowhere.
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  std::map<std::string, std::string> files_;
  std::vector<std::string> lines_;
};

// A look at the file at `path` as the game would play it: read whole and
// decoded as a WAV file.
SoundFileLook LookAtSoundFile(const std::filesystem::path& path);

// The game's own sounds looked up in the folders of this run.
SoundLocations FindGameSounds();

}  // namespace rallix
