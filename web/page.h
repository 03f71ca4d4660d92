// The browser services the web platform is built on: the page's clock and
// timers, its canvas, its audio, its touch controls and gamepads, the line
// of text under the canvas, and its buttons for demos. The real page
// reaches the browser through emscripten (emscripten_page.h); the tests use
// a fake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "display/changed_cells.h"
#include "display/surface.h"
#include "web/web_keys.h"

namespace rallix::web {

// A rectangle of the canvas, in pixels.
using CanvasRect = CellRun;

// The whole canvas as one rectangle.
inline CanvasRect WholeCanvas() {
  return CanvasRect{0, 0, kScreenWidth, kScreenHeight};
}

// What the player asked for with the page's demo buttons. The page's script
// is told the numbers of the kinds, as of the runs below (web/page_facts.h).
struct PageRequest {
  enum class Kind {
    kNone,
    kRecord,         // a new run, recorded from its title
    kStopRecording,  // the recorded run ends here, and its demo is offered
    kPlayDemo,       // the demo file chosen, played back
  };
  Kind kind = Kind::kNone;
  std::string file_name;       // the chosen file's name, as the page shows it
  std::vector<uint8_t> bytes;  // its bytes, or of a larger file one more than a demo may hold
  bool unreadable = false;     // the browser could not read the chosen file
};

// The runs of the game the page shows; each offers the controls that do
// something in it.
enum class RunKind {
  kGame,       // the game, as the program plays it
  kRecording,  // the game, recorded into a demo to save
  kDemo,       // a demo played back: the game's keys do nothing
};

class Page {
 public:
  virtual ~Page() = default;

  // The page's clock in milliseconds, with fractions (performance.now()).
  virtual double Now() = 0;
  // Gives the browser the thread for about `milliseconds`: it runs its
  // timers, delivers key and focus events and paints the canvas meanwhile.
  virtual void Sleep(int milliseconds) = 0;
  // Called once at the start of every pass of the frame loop. False when
  // the page has asked the game to stop.
  virtual bool BeginPass() = 0;
  // True while the game is in front: the page has the keyboard focus and
  // the player has not paused the game (P).
  virtual bool InFront() = 0;
  // The presses and releases of the touch controls and the gamepads since
  // the last call, oldest first.
  virtual std::vector<ButtonEvent> TakeButtonEvents() = 0;
  // Copies the given rectangles of the frame to the canvas (palette index 0
  // black, any other white).
  virtual void Paint(const Surface& frame, const std::vector<CanvasRect>& rects) = 0;
  // Starts the sound file in the background, replacing a playing sound.
  virtual void PlaySound(const std::string& file_name) = 0;
  // Plays the sound file and returns when it has ended.
  virtual void PlaySoundToEnd(const std::string& file_name) = 0;
  virtual void StopSound() = 0;
  // Shows one line of text under the canvas.
  virtual void ShowLine(const std::string& text) = 0;
  // Offers to play again and returns when the player has asked to.
  virtual void WaitForPlayAgain() = 0;
  // Whether the player asked for a picture of the game (F12 or the
  // Screenshot control) since the last call; asked once.
  virtual bool ScreenshotWanted() = 0;
  // Offers the picture, a PNG file's bytes, as a download named for the
  // moment.
  virtual void OfferScreenshot(const std::vector<uint8_t>& png) = 0;

  // The player's last request since the last call, taken once; kNone when
  // there is none.
  virtual PageRequest TakeRequest() = 0;
  // A run of `kind` begins: the page shows the controls that work in it.
  virtual void BeginRun(RunKind kind) = 0;
  // The next piece of the demo being recorded: its header first, then a
  // chunk at a time.
  virtual void AddDemoPiece(const std::vector<uint8_t>& piece) = 0;
  // The demo being recorded is complete: the page offers it as a file to
  // save while it offers to play again.
  virtual void OfferDemo() = 0;
};

}  // namespace rallix::web
