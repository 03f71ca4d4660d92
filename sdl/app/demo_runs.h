// The desktop program with a demo: recording the game as it is played,
// showing a recorded run in the window, and timing its replay without one.
// A demo file that cannot be read or played, or a file that cannot be
// written, is refused in one line on stderr before any window opens.
#pragma once

#include <string>

#include "sdl/app/player_choices.h"

namespace rallix {

// The game as usual in the window, recorded into the demo file `path`
// (sdl/demo/file.h: written as `path`.part, which takes `path`'s place when
// the run ends). Main's exit status; 1 when the file cannot be written: when
// that is known before the game (no place to write, a second recorder of
// `path`), the window does not open; a write that fails during the game is
// said at once, and the game goes on.
int RecordOnSdl(const PlayerChoices& choices, const std::string& path);

// The run recorded in `path` in the window, at its pace and with its
// sounds, until its end; P and the window's focus pause it, closing the
// window stops it. A replay that did not end as the run did says where it
// ended on stderr. The exit status is the recorded run's (0, or 1 when the
// game stopped on an error); 1 when the replay went out of step with the
// demo, 2 when the file is refused.
int PlayDemoOnSdl(const PlayerChoices& choices, const std::string& path);

// The run recorded in `path` replayed headless, as fast as it goes, without
// starting SDL; prints TimedReplayLine on stdout. The exit status as for
// PlayDemoOnSdl, or 1 when the line cannot be written.
int TimeDemo(const std::string& path);

}  // namespace rallix
