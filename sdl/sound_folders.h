// Where the game's sounds are looked for, and the file each one is played
// from. The game asks for its sounds by their bare names ("pon.WAV"); each is
// looked for once, when the program starts, in these folders in turn:
//   1. the working folder,
//   2. the folder of the executable,
//   3. the data folder installed beside it (../share/rallix from there),
//   4. the data folder of the prefix the game was configured for.
// The Windows game, one folder with its sounds beside rallix.exe, looks in
// the first two only.
// A sound found in none of them is named in one line on stderr, and the game
// plays on without it.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace rallix {

// The folders to search, in the order above, each once. An empty path (a
// folder that could not be told) is left out.
std::vector<std::filesystem::path> SoundFolders(
    const std::filesystem::path& working_folder, const std::filesystem::path& executable_folder,
    const std::filesystem::path& data_from_executable,
    const std::filesystem::path& configured_data_folder);

// The file each sound is played from.
class SoundLocations {
 public:
  // Every sound played by its own name, from the working folder.
  SoundLocations() = default;

  // Looks each of `names` up in `folders`, in order; `is_file` tells whether
  // a path is a file that can be read.
  static SoundLocations Find(const std::vector<std::string>& names,
                             const std::vector<std::filesystem::path>& folders,
                             const std::function<bool(const std::filesystem::path&)>& is_file);

  // Where the sound `name` was found; the name itself for one found nowhere
  // or never looked for.
  std::string FileFor(const std::string& name) const;
  // The files of the sounds that were found.
  std::vector<std::string> FoundFiles() const;
  // One line for each sound found nowhere, naming it and the folders searched.
  const std::vector<std::string>& MissingLines() const { return missing_lines_; }

 private:
  std::map<std::string, std::string> files_;
  std::vector<std::string> missing_lines_;
};

// What the search takes for a sound: a regular file, links followed. It is
// not read here: an empty or unreadable file is taken, and plays nothing.
bool IsSoundFile(const std::filesystem::path& path);

// The game's own sounds looked up in the folders of this run.
SoundLocations FindGameSounds();

}  // namespace rallix
