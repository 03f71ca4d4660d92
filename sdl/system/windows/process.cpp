// The process's starting conditions on Windows. A windowed program has no
// console of its own: started from Explorer it has neither standard output
// nor standard error, and the C runtime lets writes to them fail quietly;
// started from a console, it has only those that were redirected. Windows
// has no SIGPIPE: a write to a pipe nobody reads fails and the game goes on.
#include "sdl/system/process.h"

#include <windows.h>

#include <cstdio>

namespace rallix {
namespace {

// A windowed program started from a console may be handed the console's
// handles, which are of no use to it: only a file, a pipe or a console of
// its own counts.
bool HasHandle(DWORD which) {
  HANDLE handle = GetStdHandle(which);
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

void PrepareProcess() {
  static bool prepared = false;
  if (prepared)
    return;
  prepared = true;
  const bool has_output = HasHandle(STD_OUTPUT_HANDLE);
  const bool has_error = HasHandle(STD_ERROR_HANDLE);
  // Started from a console without redirection: write to that console.
  if ((has_output && has_error) || AttachConsole(ATTACH_PARENT_PROCESS) == 0)
    return;
  if (!has_output)
    static_cast<void>(std::freopen("CONOUT$", "w", stdout));
  if (!has_error)
    static_cast<void>(std::freopen("CONOUT$", "w", stderr));
}

bool ProcessHasEnded(unsigned long process) {
  HANDLE handle = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(process));
  if (handle == nullptr)
    return GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
  const bool ended = WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
  CloseHandle(handle);
  return ended;
}

}  // namespace rallix
