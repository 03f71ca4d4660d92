// Windows' own libraries under SDL report nothing on standard error while SDL
// starts its video: there is nothing to silence.
#include "sdl/system/quiet_stderr.h"

namespace rallix {

QuietStderr::QuietStderr() {}

QuietStderr::~QuietStderr() {}

}  // namespace rallix
