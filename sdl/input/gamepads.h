// The gamepads plugged in, through SDL's game controller support: opened
// when they appear (at start or later), closed when they go, and read as the
// game's arrow keys and Space (sdl/input/key_map.h).
#pragma once

#include <SDL.h>

#include <vector>

#include "game/platform.h"

namespace rallix {

class SdlGamepads {
 public:
  SdlGamepads() = default;
  ~SdlGamepads();
  SdlGamepads(const SdlGamepads&) = delete;
  SdlGamepads& operator=(const SdlGamepads&) = delete;

  // Takes a controller event: a pad added or removed, a button or an axis
  // moved. Sets bit 0x80 in `pressed` for each game key the event pressed
  // (a button going down, the stick entering a direction). Other events are
  // ignored.
  void Handle(const SDL_Event& event, KeySnapshot& pressed);
  // Sets bit 0x80 in `keys` for every game key a pad holds now.
  void AddHeldKeys(KeySnapshot& keys) const;

 private:
  struct Pad {
    SDL_GameController* controller;
    SDL_JoystickID id;
    int stick_x;  // the left stick as its events left it
    int stick_y;
  };
  Pad* Find(SDL_JoystickID id);
  void Open(int device_index);
  void Close(SDL_JoystickID id);

  std::vector<Pad> pads_;
};

}  // namespace rallix
