#include "libretro/core_state.h"

namespace rallix::libretro {

const char* SaveStateFault(const SaveState& state, const SoundMixer& mixer) {
  if (const char* fault = GameStateFault(state.record, state.loop); fault != nullptr)
    return fault;
  const CoreState& core = state.core;
  if (static_cast<uint64_t>(state.loop.passes) > core.runs)
    return "it has run more passes than runs";
  if (core.sound == -1 ? core.heard != 0 : core.heard >= mixer.Length(core.sound))
    return "its sound is none the core plays";
  // A synchronous sound holds the game until it has been heard, and only a
  // pass held by it presents a frame that waits.
  if (core.holding && core.sound == -1)
    return "it holds the game for no sound";
  if (core.waiting && !core.holding)
    return "it has a frame waiting for no sound";
  // The frame shown is the last one composed but while a frame waits.
  if (!(core.holding && core.waiting) && !(state.shown == state.last))
    return "it shows a frame other than the last";
  return nullptr;
}

}  // namespace rallix::libretro
