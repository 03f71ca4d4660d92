// Reading a sound file's bytes, with the checks that keep a bad file harmless.
// Each system reads files its own way: sdl_sound_file_posix.cpp and
// sdl_sound_file_windows.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace rallix {

// Far above any of the game's sounds; a larger file is refused unread.
constexpr size_t kMaxSoundFileBytes = size_t{16} << 20;

// What tells one version of a file from another: a file written anew or
// replaced shows another size, modification time or identity (the device
// and inode; on Windows the volume and the file's index on it).
struct SoundFileStamp {
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t modified_seconds = 0;
  int64_t modified_nanoseconds = 0;

  bool operator==(const SoundFileStamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified_seconds == other.modified_seconds &&
           modified_nanoseconds == other.modified_nanoseconds;
  }
  bool operator!=(const SoundFileStamp& other) const { return !(*this == other); }
};

// The stamp of the regular file at `path`, without reading it; nothing when
// there is no regular file there.
std::optional<SoundFileStamp> StampSoundFile(const std::string& path);

// The whole content of the regular file at `path`, a UTF-8 name (relative
// names are looked up in the working directory). Nothing for a missing, unreadable or empty
// file, a directory or another non-regular file, or one above `max_bytes`.
// `stamp`, when given, receives the stamp of the file that was read.
std::optional<std::vector<uint8_t>> ReadSoundFile(const std::string& path,
                                                  size_t max_bytes = kMaxSoundFileBytes,
                                                  SoundFileStamp* stamp = nullptr);

// The part of ReadSoundFile both systems share: the `size` bytes of an open
// file, read with `read_some(at, wanted)`, which returns how many bytes it
// read, 0 at the end of the file and less than 0 on an error. Nothing on an
// error, for a size of 0 or above `max_bytes`, or when nothing could be read;
// fewer bytes when the file shrank meanwhile.
std::optional<std::vector<uint8_t>> ReadOpenSoundFile(
    int64_t size, size_t max_bytes, const std::function<int64_t(uint8_t*, size_t)>& read_some);

}  // namespace rallix
