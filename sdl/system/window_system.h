// The window system the game's window opens on, and where the game looked
// for it when none would open. Each system has its own side:
// window_system_posix.cpp and window_system_windows.cpp.
#pragma once

#include <string>

namespace rallix {

// Gives SDL the hints that choose and set up this system's window system;
// call it before SDL starts its video.
void ChooseWindowSystem();

// Chooses how the window surface the frames are drawn into is kept, for the
// video driver SDL has started; call it before the first window. Where the
// window system lets SDL keep it in memory shared with the window (X11,
// Windows), the game draws there in software, which costs the least. Where
// it does not (Wayland), SDL keeps it as the texture of an accelerated
// renderer, which is SDL's own choice when no hint says otherwise.
void ChooseWindowSurface();

// The end of the line that says no window could be opened: where the game
// looked for a display, as " (DISPLAY=:1)", or nothing.
std::string WhereTheDisplayWasLookedFor();

}  // namespace rallix
