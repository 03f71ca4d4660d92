// Sound files on Windows: names are UTF-8 in the game and UTF-16 for the
// system, files are opened so that others may still write, rename or delete
// them while the game reads, and only files on a disk are read.
#include "sdl/sound/file.h"

#include <windows.h>

#include <algorithm>

#include "sdl/system/windows/wide_text.h"

namespace rallix {
namespace {

// Seconds from 1601, where Windows counts file times from, to 1970.
constexpr int64_t kSecondsFrom1601To1970 = 11644473600;
constexpr int64_t kFileTimeUnitsPerSecond = 10000000;  // of 100 ns

// Closes the handle however the read ends.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE)
      CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Opens `path` to read its contents, or only its attributes. A folder, a
// device or a pipe of that name is not opened.
HANDLE OpenSoundFile(const std::string& path, DWORD access) {
  const std::wstring name = WideName(path);
  if (name.empty())
    return INVALID_HANDLE_VALUE;
  HANDLE file =
      CreateFileW(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE && GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

// The stamp of an open file; nothing for a folder.
std::optional<SoundFileStamp> StampOf(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(file, &info) == 0 ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    return std::nullopt;
  }
  const auto high_low = [](DWORD high, DWORD low) {
    return static_cast<uint64_t>(high) << 32 | static_cast<uint64_t>(low);
  };
  const auto written = static_cast<int64_t>(
      high_low(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime));
  SoundFileStamp stamp;
  stamp.device = info.dwVolumeSerialNumber;
  stamp.inode = high_low(info.nFileIndexHigh, info.nFileIndexLow);
  stamp.size = static_cast<int64_t>(high_low(info.nFileSizeHigh, info.nFileSizeLow));
  stamp.modified_seconds = written / kFileTimeUnitsPerSecond - kSecondsFrom1601To1970;
  stamp.modified_nanoseconds = written % kFileTimeUnitsPerSecond * 100;
  return stamp;
}

}  // namespace

std::optional<SoundFileStamp> StampSoundFile(const std::string& path) {
  const FileHandle file(OpenSoundFile(path, FILE_READ_ATTRIBUTES));
  if (file.get() == INVALID_HANDLE_VALUE)
    return std::nullopt;
  return StampOf(file.get());
}

std::optional<std::vector<uint8_t>> ReadSoundFile(const std::string& path, size_t max_bytes,
                                                  SoundFileStamp* stamp) {
  const FileHandle file(OpenSoundFile(path, GENERIC_READ));
  if (file.get() == INVALID_HANDLE_VALUE)
    return std::nullopt;
  const std::optional<SoundFileStamp> read_stamp = StampOf(file.get());
  if (!read_stamp)
    return std::nullopt;
  std::optional<std::vector<uint8_t>> bytes =
      ReadOpenSoundFile(read_stamp->size, max_bytes, [&file](uint8_t* at, size_t wanted) {
        const auto chunk = static_cast<DWORD>(std::min<size_t>(wanted, MAXDWORD));
        DWORD n = 0;
        if (ReadFile(file.get(), at, chunk, &n, nullptr) == 0)
          return int64_t{-1};
        return static_cast<int64_t>(n);
      });
  if (!bytes)
    return std::nullopt;
  if (stamp != nullptr)
    *stamp = *read_stamp;
  return bytes;
}

}  // namespace rallix
