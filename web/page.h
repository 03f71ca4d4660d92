// The browser services the web platform is built on: the page's clock and
// timers, its canvas, its audio, its touch controls and gamepads, and the
// line of text under the canvas. The real page reaches the browser through
// emscripten (emscripten_page.h); the tests use a fake.
#pragma once

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
};

}  // namespace rallix::web
