#include "sdl/input/pad_mappings_file.h"

#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "base/printable_text.h"

namespace rallix {

std::optional<std::string> PadMappingsFileRefusal(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status = fs::status(fs::u8path(path), error);
  if (error || !fs::exists(status))
    return "not found";
  if (fs::is_directory(status))
    return "a folder, not a file";
  if (!fs::is_regular_file(status))
    return "not a regular file";
  const uintmax_t size = fs::file_size(fs::u8path(path), error);
  if (error)
    return "its size cannot be told";
  if (size > kMaxPadMappingsFileBytes)
    return "larger than " + std::to_string(kMaxPadMappingsFileBytes >> 20) + " MB";
  return std::nullopt;
}

void RefuseUnusablePadMappingsFile() {
  const char* path = SDL_getenv(SDL_HINT_GAMECONTROLLERCONFIG_FILE);
  if (path == nullptr || path[0] == '\0')
    return;
  const std::optional<std::string> refusal = PadMappingsFileRefusal(path);
  if (!refusal)
    return;
  std::fprintf(stderr,
               "rallix: the gamepad mappings in %s=%s are not read (%s); the game starts "
               "without them\n",
               SDL_HINT_GAMECONTROLLERCONFIG_FILE, PrintableText(path).c_str(), refusal->c_str());
  // An overriding empty hint stands before the environment's.
  SDL_SetHintWithPriority(SDL_HINT_GAMECONTROLLERCONFIG_FILE, "", SDL_HINT_OVERRIDE);
}

}  // namespace rallix
