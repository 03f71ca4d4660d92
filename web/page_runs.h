// The runs of the game in the page, one after another: the game itself, as
// the program plays it; the game recorded from its title into a demo that
// the page offers to save; or a demo file the player chose, played back on
// the canvas at its pace with its sounds (web/README.md tells the player's
// side). The page's demo buttons ask for the next run between two passes,
// and the run then ends as it would if its window were closed; a demo file
// that cannot be played is refused on the page's line and the run goes on.
// When a run ends by itself (or the page stops it) the page says how it
// ended and offers to play again.
#pragma once

#include <functional>
#include <string>

#include "demo/demo.h"
#include "web/page.h"
#include "web/web_platform.h"

namespace rallix::web {

class PageRuns {
 public:
  explicit PageRuns(Page& page) : page_(page) {}

  // Gives the page's key and focus events to the platform of a run
  // (nullptr between runs, when the keys are the page's again).
  using Listen = std::function<void(WebPlatform*)>;

  // Runs the next run (the game, at first) to its end; then, unless the
  // player has asked for another, says how it ended and waits for Play
  // again. False when a run-time error has stopped the game (the page says
  // so): nothing runs after it.
  bool RunNext(const Listen& listen);

 private:
  class RequestWatch;

  // Between two passes: takes the player's request. True when it ends the
  // current run (the run asked for, if any, comes next).
  bool EndsRun();

  Page& page_;
  RunKind current_ = RunKind::kGame;
  RunKind next_ = RunKind::kGame;
  bool next_asked_ = false;  // the run ended for the next one: it begins at once
  bool stopped_ = false;     // the recording was stopped and saved
  Demo demo_;                // the demo the next run plays
  std::string demo_name_;
};

}  // namespace rallix::web
