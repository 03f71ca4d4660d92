#include "sdl/sdl_dirty_cells.h"

#include "display/changed_cells.h"

namespace rallix {

std::vector<SDL_Rect> ChangedCellRects(const Surface& shown, const Surface& next) {
  std::vector<SDL_Rect> rects;
  for (const CellRun& run : ChangedCellRuns(shown, next))
    rects.push_back(SDL_Rect{run.x, run.y, run.width, run.height});
  return rects;
}

}  // namespace rallix
