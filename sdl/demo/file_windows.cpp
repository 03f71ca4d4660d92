// Demo files on Windows: UTF-8 names opened as UTF-16, a recording that
// others may read while it is written, and the finished file moved over the
// old one in one step.
#include <windows.h>

#include <algorithm>

#include "sdl/demo/file.h"
#include "sdl/system/windows/wide_text.h"

namespace rallix {
namespace {

std::string LastErrorText() {
  return SystemErrorText(GetLastError());
}

// Why the file at `name` may not be taken for a demo (a folder), or nothing.
std::string FolderInTheWay(const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
             ? "it is a folder"
             : "";
}

}  // namespace

DemoFileBytes ReadDemoFile(const std::string& path, size_t most_bytes) {
  DemoFileBytes read;
  const std::wstring name = WideName(path);
  if (name.empty()) {
    read.error = "not a valid file name";
    return read;
  }
  read.error = FolderInTheWay(name);
  if (!read.error.empty())
    return read;
  HANDLE file = CreateFileW(name.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    read.error = LastErrorText();
    return read;
  }
  if (GetFileType(file) != FILE_TYPE_DISK)
    read.error = "it is not a regular file";
  uint8_t buffer[64 * 1024];
  while (read.error.empty() && read.bytes.size() <= most_bytes) {
    const auto wanted =
        static_cast<DWORD>(std::min(sizeof buffer, most_bytes + 1 - read.bytes.size()));
    DWORD n = 0;
    if (ReadFile(file, buffer, wanted, &n, nullptr) == 0)
      read.error = LastErrorText();
    else if (n == 0)
      break;
    read.bytes.insert(read.bytes.end(), buffer, buffer + n);
  }
  CloseHandle(file);
  if (!read.error.empty())
    read.bytes.clear();
  return read;
}

bool DemoFileSink::CreatePart(std::string& reason) {
  const std::wstring name = WideName(path_);
  if (name.empty()) {
    reason = "not a valid file name";
    return false;
  }
  reason = FolderInTheWay(name);
  if (!reason.empty())
    return false;
  // Others may read the recording as it grows.
  HANDLE file = CreateFileW(WideName(part_path_).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason = LastErrorText();
    return false;
  }
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    reason = "it is not a regular file";
    return false;
  }
  handle_ = file;
  open_ = true;
  return true;
}

bool DemoFileSink::WritePart(const std::vector<uint8_t>& piece, std::string& reason) {
  size_t done = 0;
  while (done < piece.size()) {
    const auto wanted = static_cast<DWORD>(std::min<size_t>(piece.size() - done, MAXDWORD));
    DWORD n = 0;
    if (WriteFile(handle_, piece.data() + done, wanted, &n, nullptr) == 0 || n == 0) {
      reason = LastErrorText();
      return false;
    }
    done += n;
  }
  return true;
}

bool DemoFileSink::ClosePart(std::string& reason) {
  HANDLE file = handle_;
  handle_ = nullptr;
  open_ = false;
  const bool flushed = FlushFileBuffers(file) != 0;
  if (!flushed)
    reason = LastErrorText();
  const bool closed = CloseHandle(file) != 0;
  if (flushed && !closed)
    reason = LastErrorText();
  return flushed && closed;
}

bool DemoFileSink::ReplaceWithPart(std::string& reason) {
  if (MoveFileExW(WideName(part_path_).c_str(), WideName(path_).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
    return true;
  }
  reason = LastErrorText();
  return false;
}

void DemoFileSink::RemovePart() {
  DeleteFileW(WideName(part_path_).c_str());
}

}  // namespace rallix
