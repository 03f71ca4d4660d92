// The game's platform on SDL2: the window, its keyboard and gamepads, the
// pause, the millisecond clock and the sounds; and the player's comforts
// around the game, which change none of its rules, screens or timing: the
// screenshot (F12), the mute (M) and the volume (- and =), and the player's
// own keys.
#pragma once

#include <SDL.h>

#include <string>
#include <utility>
#include <vector>

#include "game/platform.h"
#include "sdl/app/background_work.h"
#include "sdl/app/player_choices.h"
#include "sdl/input/keys.h"
#include "sdl/screenshot/screenshots.h"
#include "sdl/sound/device.h"
#include "sdl/sound/folders.h"
#include "sdl/system/frame_clock.h"
#include "sdl/video/display_mode.h"
#include "sdl/video/presenter.h"

namespace rallix {

class SdlPlatform : public Platform {
 public:
  // The window and the sound outlive the platform. Each sound the game asks
  // for is played from the file `sounds` gives for its name. The window is
  // in the mode `choices.display` asks for (SdlDisplayMode), which Alt+Enter
  // and F11 switch between the window and the whole screen; the sound at
  // the choices' volume, the keys as they bind them.
  SdlPlatform(SDL_Window* window, SdlSound& sound, SoundLocations sounds = {},
              PlayerChoices choices = {});
  // Every screenshot taken is written before it ends; the settings changed
  // are kept by `choices.keep`.
  ~SdlPlatform() override;

  // Milliseconds on the monotonic clock since the platform was made, seen
  // as a signed 32-bit count.
  int32_t TimeGetTime() override { return clock_.Milliseconds(); }
  // Handles every pending event: repaints the window when it needs it,
  // switches between the window and the whole screen on Alt+Enter and F11,
  // and back to the window on Escape (once, to the mode the last press asked
  // for, however many are pending: a change takes tens of milliseconds, and
  // the game and a close request must not wait for a burst of them),
  // pauses and goes on at P, takes a screenshot at F12, mutes and unmutes at
  // M and turns the sound down and up at - and =, keeping what the player
  // changed in the settings, takes in the keys and the gamepads, and returns
  // false when the window was closed or the process told to stop (SDL turns
  // SIGINT and SIGTERM into a quit event).
  bool ProcessMessages() override;
  // True while the window has the keyboard focus and the game is not
  // paused. Otherwise the presses not yet seen are forgotten.
  bool IsForeground() override;
  // The keys the keyboard and the pads hold as the last ProcessMessages left
  // them (however many events SDL reads while a sound holds the game), and
  // every game key pressed since the last snapshot (SdlKeys).
  void GetKeyboardState(KeySnapshot& keys) override { keys_.TakeSnapshot(keys); }
  void PlaySoundAsync(const std::string& file_name) override {
    sound_.PlayAsync(sounds_.FileFor(file_name));
  }
  // The whole game waits for the sound, a few seconds at most; a close
  // request or SIGINT or SIGTERM meanwhile ends the program at once
  // (ProgramEnd), as it would anywhere else.
  void PlaySoundSync(const std::string& file_name) override;
  void StopSound() override { sound_.Stop(); }
  void Present(const Surface& frame) override { presenter_.Present(frame); }
  // One absolute sleep on the same clock: the frame loop wakes once a pass.
  void SleepUntil(int32_t deadline) override { clock_.SleepUntil(deadline); }
  // One line on stderr, then a message box over the window (it waits for
  // the user to dismiss it; see ShowErrorBox).
  void ReportFatalError(const std::string& message) override;

  SDL_Window* Window() const { return window_; }
  const SdlPresenter& Presenter() const { return presenter_; }
  const Screenshots& TakenScreenshots() const { return screenshots_; }
  SdlSound& Sound() { return sound_; }
  // Returns once every screenshot asked for is written.
  void FinishWriting() { work_.Finish(); }

 private:
  void HandleWindowEvent(const SDL_WindowEvent& event);
  // The window's keys; true when the key was one, which is then no game key
  // until it is let go (Alt+Enter, with Return bound to Space).
  bool HandleKeyDown(const SDL_KeyboardEvent& event);
  // P: the game stands still as when another window is in front, and the
  // window's title says so.
  void TogglePause();
  // F12: the last frame the game presented, as a PNG file, written off the
  // frame's path.
  void TakeScreenshot();
  // M, - and =: the sound's new volume or mute, heard at once and kept.
  void ChangeVolume(int volume, bool muted);
  // - and =: the volume a step down or up, never past 0 or 100, and its mark.
  void StepVolume(int step);
  // The marks outside the picture: PAUSED, MUTED and for a moment the
  // volume after it changed.
  void ShowMarks();
  // Keeps the setting when the choices say where.
  void Keep(Setting setting, int value);
  bool HasFocus() const;
  // Looks for a close request or a quit among the pending events, leaving
  // them and every other event for ProcessMessages.
  bool CloseRequested();

  SDL_Window* window_;
  SdlSound& sound_;
  SoundLocations sounds_;
  SdlDisplayMode display_;
  SdlPresenter presenter_;
  SdlKeys keys_;
  FrameClock clock_;
  std::string title_;  // the window's title when not paused
  bool paused_ = false;
  bool fullscreen_wanted_;  // as the presses of Alt+Enter and F11 left it
  int volume_;
  bool muted_;
  int32_t volume_shown_until_ = 0;  // the clock's reading when the volume's mark goes
  bool volume_shown_ = false;
  std::function<void(Setting, int)> keep_;
  Screenshots screenshots_;
  // Last: its jobs use what is above, and are done before that goes.
  BackgroundWork work_;
};

}  // namespace rallix
