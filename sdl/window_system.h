// The window system the game's window opens on, and where the game looked
// for it when none would open. Each system has its own side:
// window_system_posix.cpp and window_system_windows.cpp.
#pragma once

#include <string>

namespace rallix {

// Gives SDL the hints that choose and set up this system's window system;
// call it before SDL starts its video.
void ChooseWindowSystem();

// The end of the line that says no window could be opened: where the game
// looked for a display, as " (DISPLAY=:1)", or nothing.
std::string WhereTheDisplayWasLookedFor();

}  // namespace rallix
