#include "sdl/sound_folders.h"

#include <SDL.h>

#include <sstream>
#include <system_error>
#include <utility>

namespace rallix {
namespace {

namespace fs = std::filesystem;

// The folder the running executable lies in (links resolved); empty when
// the system cannot tell.
fs::path ExecutableFolder() {
  char* base = SDL_GetBasePath();
  if (base == nullptr)
    return {};
  fs::path folder = fs::u8path(base);
  SDL_free(base);
  return folder;
}

fs::path WorkingFolder() {
  std::error_code error;
  fs::path folder = fs::current_path(error);
  return error ? fs::path(".") : folder;
}

// The sound files the build puts beside the game, as one line of names.
std::vector<std::string> GameSoundNames() {
  std::vector<std::string> names;
  std::istringstream list(RALLIX_GAME_SOUNDS);
  for (std::string name; list >> name;)
    names.push_back(name);
  return names;
}

}  // namespace

std::vector<fs::path> SoundFolders(const fs::path& working_folder,
                                   const fs::path& executable_folder,
                                   const fs::path& data_from_executable,
                                   const fs::path& configured_data_folder) {
  std::vector<fs::path> candidates = {working_folder, executable_folder};
  if (!executable_folder.empty())
    candidates.push_back(executable_folder / data_from_executable);
  candidates.push_back(configured_data_folder);

  std::vector<fs::path> folders;
  for (const fs::path& candidate : candidates) {
    if (candidate.empty())
      continue;
    // "/usr/games/" and "/usr/games/../share/rallix" are compared as
    // "/usr/games" and "/usr/share/rallix".
    fs::path folder = candidate.lexically_normal();
    if (folder.has_relative_path() && !folder.has_filename())
      folder = folder.parent_path();
    bool seen = false;
    for (const fs::path& earlier : folders)
      seen = seen || earlier == folder;
    if (!seen)
      folders.push_back(folder);
  }
  return folders;
}

SoundLocations SoundLocations::Find(const std::vector<std::string>& names,
                                    const std::vector<fs::path>& folders,
                                    const std::function<bool(const fs::path&)>& is_file) {
  SoundLocations locations;
  for (const std::string& name : names) {
    bool found = false;
    for (const fs::path& folder : folders) {
      const fs::path file = folder / name;
      if (is_file(file)) {
        locations.files_[name] = file.string();
        found = true;
        break;
      }
    }
    if (found)
      continue;
    std::string line = "rallix: sound file " + name + " not found (looked in ";
    for (size_t i = 0; i < folders.size(); ++i) {
      line += i == 0 ? "" : ", ";
      line += folders[i].string();
    }
    line += "); the game plays without it";
    locations.missing_lines_.push_back(std::move(line));
  }
  return locations;
}

std::string SoundLocations::FileFor(const std::string& name) const {
  const auto found = files_.find(name);
  return found == files_.end() ? name : found->second;
}

std::vector<std::string> SoundLocations::FoundFiles() const {
  std::vector<std::string> files;
  for (const auto& [name, file] : files_)
    files.push_back(file);
  return files;
}

bool IsSoundFile(const fs::path& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

SoundLocations FindGameSounds() {
  const std::vector<fs::path> folders =
      SoundFolders(WorkingFolder(), ExecutableFolder(), fs::u8path(RALLIX_DATA_FROM_EXECUTABLE),
                   fs::u8path(RALLIX_CONFIGURED_DATA_DIR));
  return SoundLocations::Find(GameSoundNames(), folders, IsSoundFile);
}

}  // namespace rallix
