// idle_window: the floor of what any SDL game costs here. A 640 x 480 window
// through the window surface, drawn once, whose loop only handles its
// events and then sleeps to the next frame with the game's own absolute
// sleep (sdl/system/frame_clock.h), 17 ms a pass. Prints the processor time it
// used, as a share of one core, the same way the window probe does.
//
// Usage: idle_window [seconds]     (10 by default)
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "bench/process_usage.h"
#include "sdl/system/frame_clock.h"

int main(int argc, char** argv) {
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "idle_window: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Window* window =
      SDL_CreateWindow("Idle", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 640, 480, 0);
  if (window == nullptr) {
    std::fprintf(stderr, "idle_window: %s\n", SDL_GetError());
    SDL_Quit();
    return 1;
  }
  if (SDL_Surface* surface = SDL_GetWindowSurface(window)) {
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    SDL_UpdateWindowSurface(window);
  }
  const rallix::FrameClock clock;
  const int32_t began = clock.Milliseconds();
  const double cpu_before = rallix::CpuSeconds();
  long wakes = 0;
  bool going_on = true;
  while (going_on && clock.Milliseconds() - began < static_cast<int32_t>(seconds * 1000)) {
    const int32_t start = clock.Milliseconds();
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
      going_on = going_on && event.type != SDL_QUIT;
    clock.SleepUntil(start + 17);
    ++wakes;
  }
  const double wall = (clock.Milliseconds() - began) / 1000.0;
  const double cpu = rallix::CpuSeconds() - cpu_before;
  std::printf("wakes per second:            %.1f\n", wakes / wall);
  std::printf("cpu use from the first frame: %.2f %% of one core over %.1f s\n", 100.0 * cpu / wall,
              wall);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
