// The process's own starting conditions, set before anything else runs. Each
// system has its own side: sdl_process_posix.cpp, sdl_process_windows.cpp.
#pragma once

namespace rallix {

// POSIX: makes sure descriptors 0, 1 and 2 are open (on /dev/null when the
// program was started without them), so that no file or socket opened later
// takes the place of standard input, output or error; and ignores SIGPIPE,
// so that writing to a pipe nobody reads any more fails instead of ending
// the program.
// Windows: a windowed program is given no console; started from one without
// its output redirected, it writes its lines (--help, --version, a missing
// sound) to that console.
// Call it first in main; calling it again does no harm.
void PrepareProcess();

// Whether the process numbered `process` has ended (or never was): false
// while it runs, and when the system will not say.
bool ProcessHasEnded(unsigned long process);

}  // namespace rallix
