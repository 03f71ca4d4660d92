// Reading a sound file's bytes, with the checks that keep a bad file harmless.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rallix {

// Far above any of the game's sounds; a larger file is refused unread.
constexpr size_t kMaxSoundFileBytes = size_t{16} << 20;

// The whole content of the regular file at `path` (relative names are looked
// up in the working directory). Nothing for a missing, unreadable or empty
// file, a directory or another non-regular file, or one above `max_bytes`.
std::optional<std::vector<uint8_t>> ReadSoundFile(const std::string& path,
                                                  size_t max_bytes = kMaxSoundFileBytes);

}  // namespace rallix
