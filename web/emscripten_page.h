// The page as emscripten reaches it: emscripten's clock and sleep (which
// needs the build's Asyncify), and the functions of page_library.js for the
// canvas, the sounds, the touch controls and gamepads, the pause and the
// line under the canvas.
#pragma once

#include "web/page.h"

namespace rallix::web {

class EmscriptenPage : public Page {
 public:
  // Finds the canvas and the status line, starts listening for the first
  // key press (which lets the page's audio start), for P and for the touch
  // controls.
  EmscriptenPage();

  double Now() override;
  void Sleep(int milliseconds) override;
  bool BeginPass() override;
  bool InFront() override;
  std::vector<ButtonEvent> TakeButtonEvents() override;
  void Paint(const Surface& frame, const std::vector<CanvasRect>& rects) override;
  void PlaySound(const std::string& file_name) override;
  void PlaySoundToEnd(const std::string& file_name) override;
  void StopSound() override;
  void ShowLine(const std::string& text) override;
  void WaitForPlayAgain() override;
};

}  // namespace rallix::web
