#include "sdl/sdl_platform.h"

#include <cstdio>

#include "sdl/sdl_key_map.h"

namespace rallix {

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
  return going_on;
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
    display_.ToggleFullscreen(window_);
    presenter_.Repaint();
  }
}

bool SdlPlatform::IsForeground() {
  return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void SdlPlatform::GetKeyboardState(KeySnapshot& keys) {
  int count = 0;
  const Uint8* states = SDL_GetKeyboardState(&count);
  FillKeySnapshot(states, count, keys);
}

void SdlPlatform::ReportFatalError(const std::string& message) {
  std::fprintf(stderr, "rallix: %s\n", message.c_str());
  std::fflush(stderr);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Rallix", message.c_str(), window_);
}

}  // namespace rallix
