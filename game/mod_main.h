// ModMain: the program's start.
#pragma once

#include "game/form_main.h"
#include "game/platform.h"

namespace rallix {

// Loads the window's game and runs the frame loop until the program ends.
// Returns the exit status: 0 when the window was closed or "QUIT GAME"
// chosen; 1 after a run-time error the loop did not trap (or any other
// failure), which is reported through the platform first.
int Main(Platform& platform);

// Main's frame loop and ending for a game already loaded, for a caller that
// looks at the game as the program leaves it (the timed replay of a demo).
int RunLoadedGame(FormMain& form, Platform& platform);

}  // namespace rallix
