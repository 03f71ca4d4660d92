// A gamepad that exists only inside the game's process (SDL's virtual
// joystick, which SDL reads as a game controller), worked by lines of text:
// the window tests' pad, with no hardware.
//
//   press NAME | release NAME   NAME: a, b, start, back, up, down, left, right
//   tap NAME     down and up again before the game's next messages
//   stick X Y    the left stick, -32768 to 32767 each way
//   unplug | plug
#pragma once

#include <SDL.h>

#include <string>

#include "game/forwarding_platform.h"

namespace rallix::e2e {

class VirtualPad {
 public:
  VirtualPad() = default;
  ~VirtualPad() { Unplug(); }
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;

  // Plugs the pad in (SDL's game controller support must be running); false
  // when SDL refuses.
  bool Plug();
  void Unplug();
  // Carries out one command; false for a line it does not understand.
  bool Obey(const std::string& line);
  // Carries out the complete lines waiting on the descriptor, without
  // waiting for more.
  void ObeyWaiting(int fd);

 private:
  int device_ = -1;
  SDL_Joystick* joystick_ = nullptr;
  std::string partial_;
};

// Passes everything on to another platform, and lets the pad carry out the
// commands waiting on standard input before each pass's messages.
class VirtualPadPlatform : public ForwardingPlatform {
 public:
  VirtualPadPlatform(Platform& inner, VirtualPad& pad) : ForwardingPlatform(inner), pad_(pad) {}

  bool ProcessMessages() override;

 private:
  VirtualPad& pad_;
};

}  // namespace rallix::e2e
