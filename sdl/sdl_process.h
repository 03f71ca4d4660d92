// The process's own starting conditions, set before anything else runs.
#pragma once

namespace rallix {

// Makes sure descriptors 0, 1 and 2 are open (on /dev/null when the program
// was started without them), so that no file or socket opened later takes
// the place of standard input, output or error; and ignores SIGPIPE, so that
// writing to a pipe nobody reads any more fails instead of ending the
// program. Call it first in main; calling it again does no harm.
void PrepareProcess();

}  // namespace rallix
