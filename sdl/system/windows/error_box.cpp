// The error box on Windows: SDL shows it from the game's own process, so it
// goes wherever the game goes. The C runtime turns a console's Ctrl+C into
// SIGINT and its Ctrl+Break into SIGBREAK; while the box is up, either ends
// the program with the error's status.
#include "sdl/system/error_box.h"

#include <csignal>
#include <cstdlib>

namespace rallix {
namespace {

void EndWithTheErrorsStatus(int /*signal*/) {
  std::_Exit(1);
}

}  // namespace

void ShowErrorBox(SDL_Window* window, const std::string& message) {
  const auto old_int = std::signal(SIGINT, &EndWithTheErrorsStatus);
  const auto old_break = std::signal(SIGBREAK, &EndWithTheErrorsStatus);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Rallix", message.c_str(), window);
  std::signal(SIGINT, old_int);
  std::signal(SIGBREAK, old_break);
}

}  // namespace rallix
