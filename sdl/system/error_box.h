// The message box that reports the error ending the game. Each system keeps
// the box from outliving the game its own way: sdl_error_box_posix.cpp and
// sdl_error_box_windows.cpp.
#pragma once

#include <SDL.h>

#include <string>

namespace rallix {

// Shows `message` in a box over the window, captioned "Rallix", and waits for
// the user to dismiss it. The box never outlives the program: killed, the
// program takes the box with it, and an interruption while the box is up
// (SIGINT or SIGTERM; on Windows Ctrl+C or Ctrl+Break in the console the game
// was started from) ends the program at once with status 1, the status of
// the error reported.
void ShowErrorBox(SDL_Window* window, const std::string& message);

}  // namespace rallix
