#include "sdl/sound/folders.h"

#include <SDL.h>

#include <optional>
#include <system_error>
#include <utility>

#include "base/printable_text.h"
#include "generated/game_sounds.h"
#include "sdl/sound/decode.h"
#include "sdl/sound/file.h"

namespace rallix {
namespace {

namespace fs = std::filesystem;

// A folder's name in a line on stderr: escaped, and no longer than this
// many characters, its end kept (where the folders differ).
constexpr size_t kLongestFolderName = 60;

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
  return error ? fs::path() : folder;
}

// The sound files the build puts beside the game.
std::vector<std::string> GameSoundNames() {
  return {RALLIX_GAME_SOUNDS};
}

// "/usr/games/" and "/usr/games/../share/rallix" as "/usr/games" and
// "/usr/share/rallix".
fs::path Normal(const fs::path& folder) {
  fs::path normal = folder.lexically_normal();
  if (normal.has_relative_path() && !normal.has_filename())
    normal = normal.parent_path();
  return normal;
}

// The text escaped, and when longer than `limit` characters, its last ones
// after "...".
std::string ShortName(const std::string& text, size_t limit) {
  const std::string shown = PrintableText(text, text.size());
  size_t characters = 0;
  size_t start = shown.size();
  while (start > 0 && characters < limit) {
    --start;
    if ((static_cast<unsigned char>(shown[start]) & 0xC0) != 0x80)
      ++characters;
  }
  return start == 0 ? shown : "..." + shown.substr(start);
}

// A device format to decode into, only to see that a file can be played.
SDL_AudioSpec AnyDevice() {
  SDL_AudioSpec device{};
  device.freq = 44100;
  device.format = AUDIO_S16SYS;
  device.channels = 2;
  return device;
}

SoundFileLook Unusable(std::string why) {
  return SoundFileLook{SoundFileLook::Kind::kUnusable, std::move(why)};
}

}  // namespace

std::vector<SoundFolder> SoundFolders(const fs::path& working_folder,
                                      const fs::path& executable_folder,
                                      const fs::path& data_from_executable,
                                      const fs::path& configured_data_folder) {
  std::vector<SoundFolder> folders;
  std::vector<fs::path> seen;
  const auto add = [&](const fs::path& path, const fs::path& whole) {
    const fs::path normal = Normal(whole);
    for (const fs::path& earlier : seen) {
      std::error_code error;
      if (earlier == normal || fs::equivalent(earlier, normal, error))
        return;
    }
    seen.push_back(normal);
    const std::string name =
        normal.empty() ? "the working folder" : ShortName(normal.u8string(), kLongestFolderName);
    folders.push_back(SoundFolder{path, name});
  };
  add(fs::path(), working_folder);
  if (!executable_folder.empty()) {
    add(Normal(executable_folder), executable_folder);
    add(Normal(executable_folder / data_from_executable), executable_folder / data_from_executable);
  }
  if (!configured_data_folder.empty())
    add(Normal(configured_data_folder), configured_data_folder);
  return folders;
}

SoundLocations SoundLocations::Find(const std::vector<std::string>& names,
                                    const std::vector<SoundFolder>& folders,
                                    const std::function<SoundFileLook(const fs::path&)>& look) {
  SoundLocations locations;
  for (const std::string& name : names) {
    bool found = false;
    bool unusable = false;
    for (const SoundFolder& folder : folders) {
      const fs::path file = folder.path / fs::u8path(name);
      const SoundFileLook seen = look(file);
      if (seen.kind == SoundFileLook::Kind::kPlayable) {
        locations.files_[name] = file.u8string();
        found = true;
        break;
      }
      if (seen.kind == SoundFileLook::Kind::kUnusable) {
        unusable = true;
        locations.lines_.push_back("rallix: sound file " + name + " in " + folder.name +
                                   " not used: " + seen.why);
      }
    }
    if (found)
      continue;
    std::string line =
        "rallix: sound file " + name + (unusable ? " not usable" : " not found") + " (looked in ";
    for (size_t i = 0; i < folders.size(); ++i) {
      line += i == 0 ? "" : ", ";
      line += folders[i].name;
    }
    line += "); the game plays without it";
    locations.lines_.push_back(std::move(line));
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

SoundFileLook LookAtSoundFile(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (!fs::exists(status)) {
    if (!error || error == std::errc::no_such_file_or_directory ||
        error == std::errc::not_a_directory)
      return SoundFileLook{};
    return Unusable("cannot be looked at (" + error.message() + ")");
  }
  if (fs::is_directory(status))
    return Unusable("a folder");
  if (!fs::is_regular_file(status))
    return Unusable("not a regular file");
  const uintmax_t size = fs::file_size(path, error);
  if (!error && size == 0)
    return Unusable("empty");
  if (!error && size > kMaxSoundFileBytes)
    return Unusable("larger than " + std::to_string(kMaxSoundFileBytes >> 20) + " MB");
  std::optional<std::vector<uint8_t>> bytes = ReadSoundFile(path.u8string());
  if (!bytes)
    return Unusable("cannot be read");
  if (!DecodeSoundForDevice(std::move(*bytes), AnyDevice()))
    return Unusable("not a WAV file the game can play");
  return SoundFileLook{SoundFileLook::Kind::kPlayable, {}};
}

SoundLocations FindGameSounds() {
  const std::vector<SoundFolder> folders =
      SoundFolders(WorkingFolder(), ExecutableFolder(), fs::u8path(RALLIX_DATA_FROM_EXECUTABLE),
                   fs::u8path(RALLIX_CONFIGURED_DATA_DIR));
  return SoundLocations::Find(GameSoundNames(), folders, LookAtSoundFile);
}

}  // namespace rallix
