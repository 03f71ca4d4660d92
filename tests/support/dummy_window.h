// A 640 x 480 window on SDL's dummy video driver, whose window surface is
// plain memory a test can read, with no sound device; and the events a test
// puts in SDL's queue as the window system would send them.
#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

namespace rallix::testing {

class DummyWindowTest : public ::testing::Test {
 protected:
  // What another program's window over this one would leave in its surface.
  static constexpr uint32_t kScribble = 0x123456;

  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO | more_subsystems_), 0) << SDL_GetError();
    window_ = SDL_CreateWindow("Rallix", 0, 0, 640, 480, 0);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
  }
  void TearDown() override {
    if (window_ != nullptr)
      SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | more_subsystems_);
  }

  // The colour of a pixel of the window surface as 0xRRGGBB.
  uint32_t PixelAt(int x, int y) const {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    Uint32 value = 0;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch +
                     x * surface->format->BytesPerPixel;
    SDL_memcpy(&value, p, surface->format->BytesPerPixel);
    Uint8 r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return uint32_t{r} << 16 | uint32_t{g} << 8 | b;
  }
  // Paints the whole window surface one colour.
  void Scribble(uint32_t rgb = kScribble) const {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    SDL_FillRect(surface, nullptr,
                 SDL_MapRGB(surface->format, rgb >> 16, rgb >> 8 & 255, rgb & 255));
  }

  void PushKey(SDL_Scancode key, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) const {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.windowID = SDL_GetWindowID(window_);
    event.key.state = SDL_PRESSED;
    event.key.repeat = repeat;
    event.key.keysym.scancode = key;
    event.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }
  // A window event for this window, or for the window `window_id`.
  void PushWindowEvent(Uint8 what, Uint32 window_id = 0) const {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = window_id != 0 ? window_id : SDL_GetWindowID(window_);
    event.window.event = what;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }

  Uint32 more_subsystems_ = 0;  // started and stopped with the video
  SDL_Window* window_ = nullptr;
};

}  // namespace rallix::testing
