#include "tests/e2e/virtual_pad.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

namespace rallix::e2e {
namespace {

struct ButtonName {
  const char* name;
  SDL_GameControllerButton button;
};

constexpr ButtonName kButtons[] = {
    {"a", SDL_CONTROLLER_BUTTON_A},
    {"b", SDL_CONTROLLER_BUTTON_B},
    {"start", SDL_CONTROLLER_BUTTON_START},
    {"back", SDL_CONTROLLER_BUTTON_BACK},
    {"up", SDL_CONTROLLER_BUTTON_DPAD_UP},
    {"down", SDL_CONTROLLER_BUTTON_DPAD_DOWN},
    {"left", SDL_CONTROLLER_BUTTON_DPAD_LEFT},
    {"right", SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
};

// SDL reads its virtual game controller with button i as the controller's
// button i and axis i as its axis i.
int ButtonOf(const std::string& name) {
  for (const ButtonName& button : kButtons) {
    if (name == button.name)
      return button.button;
  }
  return -1;
}

}  // namespace

bool VirtualPad::Plug() {
  if (joystick_ != nullptr)
    return true;
  device_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                      SDL_CONTROLLER_BUTTON_MAX, 0);
  if (device_ < 0)
    return false;
  joystick_ = SDL_JoystickOpen(device_);
  return joystick_ != nullptr;
}

void VirtualPad::Unplug() {
  if (joystick_ != nullptr) {
    SDL_JoystickClose(joystick_);
    joystick_ = nullptr;
  }
  if (device_ >= 0) {
    SDL_JoystickDetachVirtual(device_);
    device_ = -1;
  }
}

bool VirtualPad::Obey(const std::string& line) {
  std::istringstream words(line);
  std::string command;
  words >> command;
  if (command == "plug")
    return Plug();
  if (command == "unplug") {
    Unplug();
    return true;
  }
  if (joystick_ == nullptr)
    return false;
  if (command == "stick") {
    int x = 0;
    int y = 0;
    if (!(words >> x >> y))
      return false;
    SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(x));
    SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTY, static_cast<Sint16>(y));
    return true;
  }
  std::string name;
  words >> name;
  const int button = ButtonOf(name);
  if (button < 0)
    return false;
  if (command == "press" || command == "release") {
    SDL_JoystickSetVirtualButton(joystick_, button, command == "press" ? 1 : 0);
    return true;
  }
  if (command == "tap") {
    // SDL sees the button down at this pump and up at the game's next one:
    // both events reach the game in the same pass, between two snapshots.
    SDL_JoystickSetVirtualButton(joystick_, button, 1);
    SDL_PumpEvents();
    SDL_JoystickSetVirtualButton(joystick_, button, 0);
    return true;
  }
  return false;
}

void VirtualPad::ObeyWaiting(int fd) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags >= 0 && (flags & O_NONBLOCK) == 0)
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
  char buffer[256];
  ssize_t count;
  while ((count = read(fd, buffer, sizeof buffer)) > 0)
    partial_.append(buffer, static_cast<size_t>(count));
  size_t end;
  while ((end = partial_.find('\n')) != std::string::npos) {
    const std::string line = partial_.substr(0, end);
    partial_.erase(0, end + 1);
    if (!Obey(line))
      std::fprintf(stderr, "virtual pad: cannot '%s'\n", line.c_str());
  }
}

bool VirtualPadPlatform::ProcessMessages() {
  pad_.ObeyWaiting(STDIN_FILENO);
  return Inner().ProcessMessages();
}

}  // namespace rallix::e2e
