#include "sdl/system/error_box.h"

#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>

namespace rallix {
namespace {

// Under X11 SDL shows the box from a child process it forks and waits for,
// ignoring the signals that interrupt the wait. The child is marked as it
// starts, from a fork handler, which must reach these through statics.
volatile sig_atomic_t box_coming = 0;
pid_t game_pid = 0;

// In the box's process, just forked: it dies with the game.
void MarkBoxProcess() {
  if (box_coming == 0)
    return;
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != game_pid)
    _exit(1);  // the game has already gone
}

// In the game, and in the box's process, which inherits it: the error's
// status at once (the box's process dies with the game).
void EndWithTheErrorsStatus(int /*signal*/) {
  _exit(1);
}

}  // namespace

void ShowErrorBox(SDL_Window* window, const std::string& message) {
  static const bool marked = pthread_atfork(nullptr, nullptr, &MarkBoxProcess) == 0;
  static_cast<void>(marked);
  game_pid = getpid();

  struct sigaction end {};
  end.sa_handler = &EndWithTheErrorsStatus;
  sigemptyset(&end.sa_mask);
  struct sigaction old_int {};
  struct sigaction old_term {};
  sigaction(SIGINT, &end, &old_int);
  sigaction(SIGTERM, &end, &old_term);
  box_coming = 1;
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Rallix", message.c_str(), window);
  box_coming = 0;
  sigaction(SIGINT, &old_int, nullptr);
  sigaction(SIGTERM, &old_term, nullptr);
}

}  // namespace rallix
