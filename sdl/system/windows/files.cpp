// The player's small files on Windows: UTF-8 names as UTF-16, CREATE_NEW for
// a file that must be new, FlushFileBuffers and MoveFileExW for one that
// takes another's place, and a named mutex for writers that must take turns.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "sdl/system/files.h"
#include "sdl/system/windows/wide_text.h"

namespace rallix {
namespace {

std::string ErrorNow() {
  return SystemErrorText(GetLastError());
}

// Writes all of `data` to `file` and flushes it to the disk.
bool WriteWhole(HANDLE file, const void* data, size_t size, std::string& error) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < size) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1 << 20));
    DWORD written = 0;
    if (WriteFile(file, bytes + done, chunk, &written, nullptr) == 0 || written == 0) {
      error =
          written == 0 && GetLastError() == ERROR_SUCCESS ? "nothing could be written" : ErrorNow();
      return false;
    }
    done += written;
  }
  if (FlushFileBuffers(file) == 0) {
    error = ErrorNow();
    return false;
  }
  return true;
}

bool FolderAt(const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

char PathSeparator() {
  return '\\';
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/')
    return folder + name;
  return folder + "\\" + name;
}

std::string EnvironmentValue(const char* name) {
  const std::wstring wide_name = WideName(name);
  const wchar_t* value = wide_name.empty() ? nullptr : _wgetenv(wide_name.c_str());
  return value != nullptr ? Utf8Of(value) : "";
}

SmallFile ReadSmallFile(const std::string& path, size_t most_bytes) {
  SmallFile file;
  file.kind = SmallFile::Kind::kUnreadable;
  const std::wstring name = WideName(path);
  if (name.empty()) {
    file.error = "not a valid file name";
    return file;
  }
  if (FolderAt(name)) {
    file.error = "it is a folder";
    return file;
  }
  HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
      file.kind = SmallFile::Kind::kMissing;
    file.error = SystemErrorText(code);
    return file;
  }
  if (GetFileType(handle) != FILE_TYPE_DISK) {
    file.error = "it is not a regular file";
  } else {
    char buffer[16 * 1024];
    for (;;) {
      DWORD n = 0;
      if (ReadFile(handle, buffer, sizeof buffer, &n, nullptr) == 0) {
        file.error = ErrorNow();
        break;
      }
      if (n == 0) {
        file.kind = SmallFile::Kind::kRead;
        break;
      }
      file.bytes.append(buffer, n);
      if (file.bytes.size() > most_bytes) {
        file.error = "it is larger than " + std::to_string(most_bytes) + " bytes";
        break;
      }
    }
  }
  CloseHandle(handle);
  if (file.kind != SmallFile::Kind::kRead)
    file.bytes.clear();
  return file;
}

std::string MakeFolders(const std::string& path) {
  const std::wstring name = WideName(path);
  if (name.empty())
    return "not a valid folder name";
  if (FolderAt(name))
    return "";
  // Each folder from the top down, past the drive ("C:\") or the share.
  for (size_t at = name.find_first_of(L"\\/", 3);; at = name.find_first_of(L"\\/", at + 1)) {
    const std::wstring part = name.substr(0, at);
    if (!part.empty() && !FolderAt(part) && CreateDirectoryW(part.c_str(), nullptr) == 0 &&
        GetLastError() != ERROR_ALREADY_EXISTS) {
      return ErrorNow();
    }
    if (at == std::wstring::npos)
      break;
  }
  return FolderAt(name) ? "" : "it is not a folder";
}

NewFile WriteNewFile(const std::string& path, const std::vector<uint8_t>& bytes,
                     std::string& error) {
  const std::wstring name = WideName(path);
  if (name.empty()) {
    error = "not a valid file name";
    return NewFile::kFailed;
  }
  HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
      return NewFile::kExists;
    error = SystemErrorText(code);
    return NewFile::kFailed;
  }
  const bool written = WriteWhole(file, bytes.data(), bytes.size(), error);
  CloseHandle(file);
  if (written)
    return NewFile::kWritten;
  DeleteFileW(name.c_str());
  return NewFile::kFailed;
}

bool ReplaceWholeFile(const std::string& path, const std::string& bytes, std::string& error) {
  static std::atomic<unsigned> count{0};
  const std::string copy = CopyNameFor(path, GetCurrentProcessId(), ++count);
  const std::wstring name = WideName(path);
  const std::wstring temporary = WideName(copy);
  if (name.empty() || temporary.empty()) {
    error = "not a valid file name";
    return false;
  }
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    error = "it is read-only";
    return false;
  }
  RemoveLeftoverCopies(path);
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = ErrorNow();
    return false;
  }
  const bool written = WriteWhole(file, bytes.data(), bytes.size(), error);
  CloseHandle(file);
  if (written && MoveFileExW(temporary.c_str(), name.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) {
    return true;
  }
  if (written)
    error = ErrorNow();
  DeleteFileW(temporary.c_str());
  return false;
}

FolderLock::FolderLock(const std::string& folder, const std::function<bool()>& give_up) {
  // A mutex named for the folder, in this session's namespace: its name may
  // hold anything but a backslash.
  std::wstring tail = WideName(folder);
  for (wchar_t& c : tail) {
    if (c == L'\\')
      c = L'/';
  }
  std::wstring name = L"Local\\Rallix " + tail;
  if (name.size() > MAX_PATH)
    name.resize(MAX_PATH);
  HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
  if (mutex == nullptr) {
    error_ = ErrorNow();
    return;
  }
  handle_ = mutex;
  // Looked at again every 50 ms, a wait that can stop.
  for (;;) {
    const DWORD waited = WaitForSingleObject(mutex, 50);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) {
      held_ = true;
      return;
    }
    if (waited != WAIT_TIMEOUT) {
      error_ = ErrorNow();
      return;
    }
    if (give_up && give_up()) {
      error_ = kLockTakenText;
      return;
    }
  }
}

FolderLock::~FolderLock() {
  if (handle_ == nullptr)
    return;
  if (held_)
    ReleaseMutex(static_cast<HANDLE>(handle_));
  CloseHandle(static_cast<HANDLE>(handle_));
}

}  // namespace rallix
