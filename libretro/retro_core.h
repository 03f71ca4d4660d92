// The game as a libretro core: one call of Run is one run of the core, which
// is one pass of the frame loop (MainLoop::Run(1) goes on where the last one
// stopped) or, while a synchronous sound holds the game, no pass at all.
//
// Time is the count of runs: run n starts at n x 17 ms on the game's clock,
// and its pass's pacing wait moves the clock on to (n + 1) x 17 ms at once,
// so the same inputs give the same game, which rewind, run-ahead and netplay
// need. The frontend is told the game's own pace, 1000 / 17 runs a second.
//
// A synchronous sound ("pupu.WAV", "pipopin.WAV") holds the whole game on the
// desktop until it has been heard. Here it holds the game for as many runs as
// its samples take to hand over, and no run waits: the pass that plays it
// goes on at once (its frame is kept, unseen), the sound's first frames go
// out with that run's audio, and every following run hands over the sound's
// next frames and shows the frame that was on screen, running no pass, while
// the clock goes on 17 ms a run as the wall clock would. The run whose audio
// holds the sound's last frame shows the frame the held pass presented, and
// the next pass runs in the run after it. "pupu.WAV", 11466 samples at
// 22050 Hz, is 22932 frames at 44100: the run of its pass and the 30 after it
// hand it over (30 runs hold only 22491), so the next pass runs 31 runs,
// 527 ms, after it, where the desktop's starts some 520 ms after it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "demo/state_format.h"
#include "display/compositor.h"
#include "game/form_main.h"
#include "game/main_loop.h"
#include "game/platform.h"
#include "libretro/core_platform.h"
#include "libretro/core_state.h"
#include "libretro/libretro_api.h"

namespace rallix::libretro {

// The frontend's callbacks, as the core was given them.
struct Frontend {
  retro_environment_t environment = nullptr;
  retro_video_refresh_t video = nullptr;
  retro_audio_sample_batch_t audio = nullptr;
  retro_input_poll_t input_poll = nullptr;
  retro_input_state_t input_state = nullptr;
};

// The pace the frontend is told.
constexpr double kRunsPerSecond = 1000.0 / kPassMilliseconds;

class RetroCore {
 public:
  // Something to put between the game and the core's machine (in the tests,
  // a demo's player standing in for the keys and the play clock), made from
  // the machine; none when empty.
  using Wrap = std::function<std::unique_ptr<Platform>(Platform& machine)>;

  // Loads the game as the window's loading does; the first run shows the
  // title. Throws when the game cannot load (a broken glyph sheet). The
  // callbacks are read where `frontend` keeps them at each run (a frontend
  // may hand them over after loading the game), so it outlives the core.
  explicit RetroCore(const Frontend& frontend, const Wrap& wrap = {});

  // One run: reads the pad, runs a pass unless a sound holds the game or it
  // has ended, and hands over the run's audio and the frame on screen. When
  // the game ends ("QUIT GAME", or a run-time error the loop lets pass) the
  // core says why and asks the frontend to close it; its runs then show the
  // last frame in silence.
  void Run();
  // The keyboard callback.
  void KeyEvent(bool down, unsigned keycode) { machine_.Input().Key(down, keycode); }

  // A save state: the game's state (game/game_state.h) and the core's
  // (libretro/core_state.h) in the bytes of demo/state_format.h.
  static size_t StateSize();
  // The whole game into `data` (StateSize() bytes); false when it has ended.
  bool Save(void* data, size_t size) const;
  // Puts the game where the state was taken, or refuses it (false), says
  // why, and leaves the running game as it was.
  bool Load(const void* data, size_t size);

  bool Ended() const { return ended_; }
  bool Paused() const { return machine_.Paused(); }
  int64_t Passes() const { return loop_.Passes(); }
  uint64_t Runs() const { return runs_; }
  const FormMain& Form() const { return form_; }
  // The frame the frontend is shown.
  const Surface& Shown() const { return machine_.Screen().Shown(); }

 private:
  Platform& GamePlatform() { return wrapped_ ? *wrapped_ : machine_; }
  void RunPass();
  void EndGame(const std::string& why);
  void Say(const std::string& message) const;
  // What a save state shows while a sound holds the game: the frame on
  // screen when it began; else the last frame composed.
  const ComposedFrame& FrameOnScreen() const;
  CoreState Core() const;

  const Frontend& frontend_;
  CorePlatform machine_;
  std::unique_ptr<Platform> wrapped_;
  FormMain form_;
  MainLoop loop_;
  uint64_t runs_ = 0;
  bool ended_ = false;
  std::array<int16_t, 2 * kMostAudioFramesOfRun> audio_{};
  SaveState loaded_;                              // read in and checked before any of it is taken
  std::array<uint8_t, kStateBytes> rewritten_{};  // loaded_ as the game writes it
};

}  // namespace rallix::libretro
