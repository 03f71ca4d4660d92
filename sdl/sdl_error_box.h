// The message box that reports the error ending the game.
#pragma once

#include <SDL.h>

#include <string>

namespace rallix {

// Shows `message` in a box over the window, captioned "Rallix", and waits for
// the user to dismiss it. The box never outlives the program: killed, the
// program takes the box with it, and SIGINT or SIGTERM while the box is up
// end the program at once with status 1, the status of the error reported.
void ShowErrorBox(SDL_Window* window, const std::string& message);

}  // namespace rallix
