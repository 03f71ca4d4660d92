// The machine the game runs on inside the core: a clock that is the count of
// the core's runs, the frontend's pad and keyboard, the core's own speaker
// and the screen the frontend shows. Nothing here waits: a synchronous sound
// starts the hold that the core reckons in runs (libretro/retro_core.h).
#pragma once

#include <cstdint>
#include <string>

#include "game/platform.h"
#include "libretro/core_screen.h"
#include "libretro/pad_input.h"
#include "libretro/sound_mixer.h"

namespace rallix::libretro {

class CorePlatform : public Platform {
 public:
  // The clock at the start of a run: set by the core before the run's pass.
  void BeginRun(int32_t now) { now_ = now; }
  // The pictures whose last frame is on screen when a hold begins.
  void Follow(const Compositor& pictures) { pictures_ = &pictures; }

  int32_t TimeGetTime() override { return now_; }
  // Takes the pause presses since the last pass: each one pauses the game
  // or lets it go on (the desktop's P).
  bool ProcessMessages() override;
  // The frontend runs the core only while it is in front, and pauses it
  // itself: the game is in front unless P or Select paused it. Presses made
  // while it is not are forgotten.
  bool IsForeground() override;
  void GetKeyboardState(KeySnapshot& keys) override { input_.TakeSnapshot(keys); }
  void PlaySoundAsync(const std::string& file_name) override { mixer_.Play(file_name); }
  // Starts the sound and the hold; returns at once.
  void PlaySoundSync(const std::string& file_name) override;
  void StopSound() override { mixer_.Stop(); }
  void Present(const Surface& frame) override {
    const bool composed = pictures_ != nullptr && &frame == &pictures_->PictureMain;
    screen_.Present(frame, composed ? pictures_ : nullptr);
  }
  // The pass's wait: the clock moves on to the deadline at once.
  void SleepUntil(int32_t deadline) override;
  // The core reports the error that ends the game itself (RetroCore).
  void ReportFatalError(const std::string&) override {}

  PadInput& Input() { return input_; }
  const PadInput& Input() const { return input_; }
  SoundMixer& Mixer() { return mixer_; }
  const SoundMixer& Mixer() const { return mixer_; }
  CoreScreen& Screen() { return screen_; }
  const CoreScreen& Screen() const { return screen_; }
  bool Paused() const { return paused_; }
  void SetPaused(bool paused) { paused_ = paused; }
  // Whether a pass paused or let the game go on since the last call.
  bool TakePauseChanged();

 private:
  int32_t now_ = 0;
  const Compositor* pictures_ = nullptr;
  PadInput input_;
  SoundMixer mixer_;
  CoreScreen screen_;
  bool paused_ = false;
  bool pause_changed_ = false;
};

}  // namespace rallix::libretro
