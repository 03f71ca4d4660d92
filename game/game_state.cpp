#include "game/game_state.h"

namespace rallix {

const char* GameStateFault(const GameRecord& record, const LoopState& loop) {
  // The loop arms its trap after its first pass, and the first error it
  // traps spends it for good.
  if (loop.trap_armed && loop.trap_spent)
    return "its loop's trap is armed and spent";
  if ((loop.passes == 0) != (!loop.trap_armed && !loop.trap_spent))
    return "its loop's trap does not go with its passes";
  // A pass empties the queues when it shows its frame: only one the trap
  // cut short leaves them full.
  const TextScreen& screen = record.Screen;
  if (!loop.trap_spent && (!screen.CellSprites.empty() || !screen.PixelSprites.empty()))
    return "its queues hold what a finished pass would have shown";
  if (record.BallSpeed != 4 && record.BallSpeed != 8)
    return "its BallSpeed is neither 4 nor 8";
  return nullptr;
}

}  // namespace rallix
