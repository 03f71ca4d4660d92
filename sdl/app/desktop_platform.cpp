#include "sdl/app/desktop_platform.h"

#include <cstdio>

#include "base/run_time_error.h"
#include "sdl/system/error_box.h"

namespace rallix {

SdlPlatform::SdlPlatform(SDL_Window* window, SdlSound& sound, SoundLocations sounds,
                         DisplayOptions display)
    : window_(window),
      sound_(sound),
      sounds_(std::move(sounds)),
      display_(display),
      presenter_(window),
      title_(SDL_GetWindowTitle(window)),
      fullscreen_wanted_(display.fullscreen) {}

bool SdlPlatform::ProcessMessages() {
  bool going_on = true;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    switch (event.type) {
      case SDL_QUIT:
        going_on = false;
        break;
      case SDL_KEYDOWN:
        HandleKeyDown(event.key);
        keys_.Handle(event, HasFocus() && !paused_);
        break;
      case SDL_CONTROLLERDEVICEADDED:
      case SDL_CONTROLLERDEVICEREMOVED:
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERAXISMOTION:
        keys_.Handle(event, HasFocus() && !paused_);
        break;
      case SDL_WINDOWEVENT:
        if (event.window.windowID != SDL_GetWindowID(window_))
          break;
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
          going_on = false;
        HandleWindowEvent(event.window);
        break;
      default:
        break;
    }
  }
  // The handlers see the keys as these messages left them, even when SDL
  // reads more of them before the next pass (while a sound holds the game).
  keys_.Settle();
  if (going_on && fullscreen_wanted_ != display_.Fullscreen()) {
    display_.SetFullscreen(window_, fullscreen_wanted_);
    presenter_.Repaint();
  }
  return going_on;
}

bool SdlPlatform::CloseRequested() {
  SDL_PumpEvents();
  if (SDL_HasEvent(SDL_QUIT))
    return true;
  SDL_Event events[64];
  const int count = SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
  const Uint32 id = SDL_GetWindowID(window_);
  for (int i = 0; i < count; ++i) {
    if (events[i].window.windowID == id && events[i].window.event == SDL_WINDOWEVENT_CLOSE)
      return true;
  }
  return false;
}

void SdlPlatform::PlaySoundSync(const std::string& file_name) {
  if (!sound_.PlaySync(sounds_.FileFor(file_name), [this] { return CloseRequested(); }))
    throw ProgramEnd{};
}

void SdlPlatform::HandleWindowEvent(const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESIZED:
      presenter_.SurfaceLost();
      presenter_.Repaint();
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
      presenter_.Repaint();
      break;
    default:
      break;
  }
}

void SdlPlatform::HandleKeyDown(const SDL_KeyboardEvent& event) {
  if (event.repeat != 0)
    return;
  const bool alt = (event.keysym.mod & KMOD_ALT) != 0;
  const SDL_Scancode key = event.keysym.scancode;
  if (key == SDL_SCANCODE_F11 ||
      (alt && (key == SDL_SCANCODE_RETURN || key == SDL_SCANCODE_KP_ENTER))) {
    fullscreen_wanted_ = !fullscreen_wanted_;
  } else if (key == SDL_SCANCODE_ESCAPE) {
    // A way out of the whole screen, which has no title bar; in a window
    // Escape does nothing.
    fullscreen_wanted_ = false;
  } else if (key == SDL_SCANCODE_P && (event.keysym.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) == 0) {
    TogglePause();
  }
}

void SdlPlatform::TogglePause() {
  paused_ = !paused_;
  keys_.ForgetTaps();
  presenter_.ShowPaused(paused_);
  SDL_SetWindowTitle(window_, paused_ ? (title_ + " (paused)").c_str() : title_.c_str());
}

bool SdlPlatform::HasFocus() const {
  return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool SdlPlatform::IsForeground() {
  const bool in_front = HasFocus() && !paused_;
  if (!in_front)
    keys_.ForgetTaps();
  return in_front;
}

void SdlPlatform::ReportFatalError(const std::string& message) {
  std::fprintf(stderr, "rallix: %s\n", message.c_str());
  std::fflush(stderr);
  ShowErrorBox(window_, message);
}

}  // namespace rallix
