// The core's own part of a save state, after the game's (game/game_state.h),
// each field named once, here: the count of runs, the pause, the sound
// playing and how much of it has been handed over, the hold of a
// synchronous sound with the frame shown meanwhile and whether the held
// pass's frame waits for its end, and the pad's part of the input. The frame
// on screen and the frame waiting are composed again from the game's
// pictures; the keyboard's keys are the keyboard's as it is now. A game that
// has ended is not saved.
#pragma once

#include <cstdint>

#include "display/compositor.h"
#include "game/game_state.h"
#include "game/main_loop.h"
#include "libretro/embedded_sounds.h"
#include "libretro/pad_input.h"
#include "libretro/sound_mixer.h"

namespace rallix::libretro {

// 2^40 runs of 17 ms: some 590 years.
constexpr uint64_t kMostRuns = uint64_t{1} << 40;

struct CoreState {
  uint64_t runs = 0;
  bool paused = false;
  bool holding = false;  // a synchronous sound holds the game
  bool waiting = false;  // the frame the held pass presented waits for the sound's end
  int8_t sound = -1;     // the sound playing, by its index in kEmbeddedSounds
  uint32_t heard = 0;    // its frames handed over
  PadInput::Saved input;
};

// `shown` is the frame on screen while a sound holds the game, and the last
// frame composed when none does.
template <typename Visit, typename Core, typename Frame>
void CoreStateFields(Visit& v, Core& c, Frame& shown, const ComposedFrame& last) {
  v.Number("the runs", c.runs, 0, kMostRuns);
  v.Number("the pause", c.paused, false, true);
  v.Number("the hold", c.holding, false, true);
  v.Number("the frame waiting", c.waiting, false, true);
  v.Number("the sound", c.sound, -1, static_cast<int8_t>(kEmbeddedSoundCount - 1));
  v.Number("the sound's frames heard", c.heard, 0, kLongestSoundFrames);
  v.Number("the pad's buttons", c.input.pad, 0, PadInput::kPadBits);
  v.Number("the presses", c.input.pressed, 0, PadInput::kGameKeyBits);
  v.Number("the pause presses", c.input.pause_presses, 0, UINT8_MAX);
  ComposedFrameFields(v, shown, last.background);
}

// What in the core's part could not have been reached, or null.
const char* CoreStateFault(const CoreState& core, const ComposedFrame& shown,
                           const ComposedFrame& last, const LoopState& loop,
                           const SoundMixer& mixer);

}  // namespace rallix::libretro
