#include "sdl/sdl_platform.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "base/run_time_error.h"
#include "sdl/sdl_error_box.h"
#include "sdl/sdl_key_map.h"

namespace rallix {

int32_t SdlPlatform::TimeGetTime() {
  return static_cast<int32_t>(SDL_GetTicks());
}

bool SdlPlatform::ProcessMessages() {
  bool going_on = true;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    switch (event.type) {
      case SDL_QUIT:
        going_on = false;
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
  int count = 0;
  const Uint8* states = SDL_GetKeyboardState(&count);
  FillKeySnapshot(states, count, keys_);
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

bool SdlPlatform::IsForeground() {
  return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void SdlPlatform::Nap(double milliseconds) {
  if (milliseconds <= 0)
    return;
  std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(milliseconds));
}

void SdlPlatform::ReportFatalError(const std::string& message) {
  std::fprintf(stderr, "rallix: %s\n", message.c_str());
  std::fflush(stderr);
  ShowErrorBox(window_, message);
}

}  // namespace rallix
