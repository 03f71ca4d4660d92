// The game's platform on SDL2: the window, its keyboard, the millisecond
// clock and the sounds.
#pragma once

#include <SDL.h>

#include <utility>

#include "game/platform.h"
#include "sdl/sdl_presenter.h"
#include "sdl/sdl_sound.h"
#include "sdl/sound_folders.h"

namespace rallix {

class SdlPlatform : public Platform {
 public:
  // The window and the sound outlive the platform. Each sound the game asks
  // for is played from the file `sounds` gives for its name.
  SdlPlatform(SDL_Window* window, SdlSound& sound, SoundLocations sounds = {})
      : window_(window), sound_(sound), sounds_(std::move(sounds)), presenter_(window) {}

  // SDL_GetTicks seen as a signed 32-bit count.
  int32_t TimeGetTime() override;
  // Handles every pending event: repaints the window when it needs it, and
  // returns false when the window was closed or the process told to stop
  // (SDL turns SIGINT and SIGTERM into a quit event).
  bool ProcessMessages() override;
  // True while the window has the keyboard focus.
  bool IsForeground() override;
  // The keys as the last ProcessMessages left them.
  void GetKeyboardState(KeySnapshot& keys) override { keys = keys_; }
  void PlaySoundAsync(const std::string& file_name) override {
    sound_.PlayAsync(sounds_.FileFor(file_name));
  }
  // The whole game waits for the sound, a few seconds at most; a close
  // request or SIGINT or SIGTERM meanwhile ends the program at once
  // (ProgramEnd), as it would anywhere else.
  void PlaySoundSync(const std::string& file_name) override;
  void StopSound() override { sound_.Stop(); }
  void Present(const Surface& frame) override { presenter_.Present(frame); }
  // Sleeps; the pacing wait of the frame loop calls it instead of spinning.
  void Nap(double milliseconds) override;
  // One line on stderr, then a message box over the window (it waits for
  // the user to dismiss it; see ShowErrorBox).
  void ReportFatalError(const std::string& message) override;

  SDL_Window* Window() const { return window_; }

 private:
  void HandleWindowEvent(const SDL_WindowEvent& event);
  // Looks for a close request or a quit among the pending events, leaving
  // them and every other event for ProcessMessages.
  bool CloseRequested();

  SDL_Window* window_;
  SdlSound& sound_;
  SoundLocations sounds_;
  SdlPresenter presenter_;
  KeySnapshot keys_{};
};

}  // namespace rallix
