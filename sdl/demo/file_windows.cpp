// Demo files on Windows: UTF-8 names opened as UTF-16, a recording that
// others may read but no one else write while it is written, and the
// finished file moved over the old one in one step.
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

// What the file `part`, whose attributes are `attributes`, is to a recorder:
// one that no one may share for reading alone is being written.
PartFileFound PartThere(const std::wstring& part, DWORD attributes) {
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return PartFileFound::kFolder;
  HANDLE file = CreateFileW(part.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return GetLastError() == ERROR_SHARING_VIOLATION ? PartFileFound::kRecording
                                                     : PartFileFound::kUnfinished;
  const bool on_disk = GetFileType(file) == FILE_TYPE_DISK;
  CloseHandle(file);
  return on_disk ? PartFileFound::kUnfinished : PartFileFound::kNotAFile;
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
  const std::wstring part = WideName(part_path_);
  if (name.empty() || part.empty()) {
    reason = "not a valid file name";
    return false;
  }
  reason = FolderInTheWay(name);
  if (!reason.empty())
    return false;
  const DWORD found = GetFileAttributesW(part.c_str());
  if (found != INVALID_FILE_ATTRIBUTES) {
    reason = Refusal(PartThere(part, found));
    return false;
  }
  // CREATE_NEW: whatever comes to be there meanwhile is not opened or
  // truncated. Others may read the recording as it grows, and no one else
  // may write it: that tells another recorder that this one is at work.
  HANDLE file = CreateFileW(part.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason = LastErrorText();
    return false;
  }
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);  // a device's name: nothing was made
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

void DemoFileSink::CutPart(size_t size) {
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  if (SetFilePointerEx(handle_, end, nullptr, FILE_BEGIN) != 0)
    SetEndOfFile(handle_);
}

bool DemoFileSink::SyncPart(std::string& reason) {
  if (FlushFileBuffers(handle_) != 0)
    return true;
  reason = LastErrorText();
  return false;
}

// Windows moves no file that is open: it is closed first.
bool DemoFileSink::ReplaceWithPart(std::string& reason) {
  ClosePart();
  if (MoveFileExW(WideName(part_path_).c_str(), WideName(path_).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
    return true;
  }
  reason = LastErrorText();
  return false;
}

void DemoFileSink::ClosePart() {
  if (!open_)
    return;
  open_ = false;
  CloseHandle(handle_);
  handle_ = nullptr;
}

void DemoFileSink::RemovePart() {
  ClosePart();
  DeleteFileW(WideName(part_path_).c_str());
}

}  // namespace rallix
