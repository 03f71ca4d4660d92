#include "libretro/core_state.h"

namespace rallix::libretro {

const char* CoreStateFault(const CoreState& core, const ComposedFrame& shown,
                           const ComposedFrame& last, const LoopState& loop,
                           const SoundMixer& mixer) {
  if (static_cast<uint64_t>(loop.passes) > core.runs)
    return "it has run more passes than runs";
  if (core.sound == -1 ? core.heard != 0 : core.heard >= mixer.Length(core.sound))
    return "its sound is none the core plays";
  // A synchronous sound holds the game until it has been heard, and only a
  // pass held by it presents a frame that waits.
  if (core.holding && core.sound == -1)
    return "it holds the game for no sound";
  if (core.waiting && !core.holding)
    return "it has a frame waiting for no sound";
  if (!core.holding && !(shown == last))
    return "it shows a frame other than the last";
  return nullptr;
}

}  // namespace rallix::libretro
