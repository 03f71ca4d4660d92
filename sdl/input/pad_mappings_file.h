// The file of extra gamepad mappings a player may name in the environment
// (SDL_GAMECONTROLLERCONFIG_FILE), which SDL reads whole when its game
// controllers start. Only a regular file of a sane size is handed to SDL: a
// named pipe would hold the start for ever, a folder or a huge file would
// break it or take seconds and gigabytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace rallix {

// Far above any real list of mappings (the largest in use are well under a
// megabyte).
constexpr uintmax_t kMaxPadMappingsFileBytes = uintmax_t{4} << 20;

// Why the file at `path` is not handed to SDL, or nothing when it may be.
std::optional<std::string> PadMappingsFileRefusal(const std::string& path);

// Looks at the file the environment names, if any; when it is refused,
// says so in one line on stderr and tells SDL to start without it. Call
// before SDL's game controllers start.
void RefuseUnusablePadMappingsFile();

}  // namespace rallix
