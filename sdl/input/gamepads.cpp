#include "sdl/input/gamepads.h"

#include <algorithm>

#include "sdl/input/key_map.h"

namespace rallix {

SdlGamepads::~SdlGamepads() {
  for (const Pad& pad : pads_)
    SDL_GameControllerClose(pad.controller);
}

SdlGamepads::Pad* SdlGamepads::Find(SDL_JoystickID id) {
  for (Pad& pad : pads_) {
    if (pad.id == id)
      return &pad;
  }
  return nullptr;
}

void SdlGamepads::Open(int device_index) {
  SDL_GameController* controller = SDL_GameControllerOpen(device_index);
  if (controller == nullptr)
    return;  // not a pad SDL knows how to read
  const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
  if (Find(id) != nullptr) {
    SDL_GameControllerClose(controller);  // already open: SDL counted it twice
    return;
  }
  pads_.push_back(Pad{controller, id,
                      SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX),
                      SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY)});
}

void SdlGamepads::Close(SDL_JoystickID id) {
  const auto gone =
      std::find_if(pads_.begin(), pads_.end(), [id](const Pad& pad) { return pad.id == id; });
  if (gone == pads_.end())
    return;
  SDL_GameControllerClose(gone->controller);
  pads_.erase(gone);
}

void SdlGamepads::Handle(const SDL_Event& event, KeySnapshot& pressed) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
      Open(event.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      Close(event.cdevice.which);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
      if (Find(event.cbutton.which) != nullptr) {
        const auto button = static_cast<SDL_GameControllerButton>(event.cbutton.button);
        if (const std::optional<uint8_t> key = VirtualKeyOfPadButton(button))
          pressed[*key] = kKeyDownBit;
      }
      break;
    case SDL_CONTROLLERAXISMOTION: {
      Pad* pad = Find(event.caxis.which);
      if (pad == nullptr)
        break;
      KeySnapshot before{};
      AddStickKeys(pad->stick_x, pad->stick_y, before);
      if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
        pad->stick_x = event.caxis.value;
      else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
        pad->stick_y = event.caxis.value;
      else
        break;
      KeySnapshot after{};
      AddStickKeys(pad->stick_x, pad->stick_y, after);
      for (size_t key = 0; key < after.size(); ++key) {
        if (after[key] != 0 && before[key] == 0)
          pressed[key] = kKeyDownBit;
      }
      break;
    }
    default:
      break;
  }
}

void SdlGamepads::AddHeldKeys(KeySnapshot& keys) const {
  for (const Pad& pad : pads_) {
    for (int button = 0; button < SDL_CONTROLLER_BUTTON_MAX; ++button) {
      const auto which = static_cast<SDL_GameControllerButton>(button);
      const std::optional<uint8_t> key = VirtualKeyOfPadButton(which);
      if (key && SDL_GameControllerGetButton(pad.controller, which) != 0)
        keys[*key] = kKeyDownBit;
    }
    AddStickKeys(SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTX),
                 SDL_GameControllerGetAxis(pad.controller, SDL_CONTROLLER_AXIS_LEFTY), keys);
  }
}

}  // namespace rallix
