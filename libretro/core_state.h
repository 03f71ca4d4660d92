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
#include "display/text_screen.h"
#include "game/game_record.h"
#include "game/game_state.h"
#include "game/main_loop.h"
#include "libretro/embedded_sounds.h"
#include "libretro/pad_input.h"
#include "libretro/sound_mixer.h"

namespace rallix::libretro {

// 2^40 runs of 17 ms: some 590 years.
constexpr uint64_t kMostRuns = uint64_t{1} << 40;

struct CoreState {
  uint64_t runs;
  bool paused;
  bool holding;    // a synchronous sound holds the game
  bool waiting;    // the frame the held pass presented waits for the sound's end
  int8_t sound;    // the sound playing, by its index in kEmbeddedSounds, or -1
  uint32_t heard;  // its frames handed over
  PadInput::Saved input;
};

// `shown` is the frame on screen while a sound holds the game, and the last
// frame composed when none does.
template <typename Visit, typename Core, typename Frame>
void CoreStateFields(Visit& v, Core& c, Frame& shown, const ComposedFrame& last) {
  v.Number("the runs", c.runs, 0, kMostRuns);
  v.Flag("the pause", c.paused);
  v.Flag("the hold", c.holding);
  v.Flag("the frame waiting", c.waiting);
  v.Number("the sound", c.sound, -1, static_cast<int8_t>(kEmbeddedSoundCount - 1));
  v.Number("the sound's frames heard", c.heard, 0, kLongestSoundFrames);
  v.Number("the pad's buttons", c.input.pad, 0, PadInput::kPadBits);
  v.Number("the presses", c.input.pressed, 0, PadInput::kGameKeyBits);
  v.Number("the pause presses", c.input.pause_presses, 0, UINT8_MAX);
  ComposedFrameFields(v, shown, last.background);
}

// A whole save state: the game's part, then the core's, on the fields of
// the running core (RetroCore::Save) or of a SaveState.
template <typename Visit, typename Record, typename Loop, typename Grid, typename Frame,
          typename Core, typename Shown>
void SaveStateFields(Visit& v, Record& record, Loop& loop, Grid& drawn, Frame& last, Core& core,
                     Shown& shown) {
  GameStateFields(v, record, loop, drawn, last);
  CoreStateFields(v, core, shown, last);
}

// A save state read in, whole, before any of it is taken.
struct SaveState {
  GameRecord record;
  LoopState loop{};
  TextGrid drawn;
  ComposedFrame last;
  CoreState core{};
  ComposedFrame shown;

  SaveState() { FillPaddleTables(record); }
  template <typename Visit>
  void Fields(Visit& v) {
    SaveStateFields(v, record, loop, drawn, last, core, shown);
  }
};

// What in the state the game could not have reached though each field holds
// a value it can take, or null.
const char* SaveStateFault(const SaveState& state, const SoundMixer& mixer);

}  // namespace rallix::libretro
