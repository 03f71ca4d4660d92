// The browser's entry point: the game on the page's canvas, with the page's
// keys and focus, run after run (web/page_runs.h): after "QUIT GAME" the page
// offers to play again, a new run as if the program had been started anew,
// and its buttons record a run or play a demo file back. A run-time error
// ends it all.
#include <emscripten/html5.h>

#include "web/emscripten_page.h"
#include "web/page_runs.h"
#include "web/web_platform.h"

namespace {

using rallix::web::WebPlatform;

EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* event, void* platform) {
  return static_cast<WebPlatform*>(platform)->KeyDown(event->code, event->keyCode) ? EM_TRUE
                                                                                   : EM_FALSE;
}

EM_BOOL OnKeyUp(int, const EmscriptenKeyboardEvent* event, void* platform) {
  return static_cast<WebPlatform*>(platform)->KeyUp(event->code, event->keyCode) ? EM_TRUE
                                                                                 : EM_FALSE;
}

EM_BOOL OnBlur(int, const EmscriptenFocusEvent*, void* platform) {
  static_cast<WebPlatform*>(platform)->FocusLost();
  return EM_FALSE;
}

// The keys are the whole window's: the page has no other use for them.
void Listen(WebPlatform* platform) {
  const char* window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  emscripten_set_keydown_callback(window, platform, EM_TRUE, platform ? OnKeyDown : nullptr);
  emscripten_set_keyup_callback(window, platform, EM_TRUE, platform ? OnKeyUp : nullptr);
  emscripten_set_blur_callback(window, platform, EM_TRUE, platform ? OnBlur : nullptr);
}

}  // namespace

int main() {
  rallix::web::EmscriptenPage page;
  rallix::web::PageRuns runs(page);
  // Between two runs the keys go back to the page; the canvas keeps the
  // last frame.
  while (runs.RunNext(Listen)) {
  }
  return 1;
}
