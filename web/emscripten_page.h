// The page as emscripten reaches it: emscripten's clock and sleep (which
// needs the build's Asyncify), and the functions of the page's script
// (web/library/) for the canvas, the sounds, the touch controls and
// gamepads, the pause, the line under the canvas and the demo buttons.
#pragma once

#include "web/canvas_pixels.h"
#include "web/page.h"

namespace rallix::web {

class EmscriptenPage : public Page {
 public:
  // Hands the page what it must know of the program (web/page_facts.h);
  // the page sizes the canvas, takes the status line, and starts listening
  // for the first key press (which lets the page's audio start), for P and
  // for the touch controls.
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
  bool ScreenshotWanted() override;
  // The bytes are copied out to the page's script, which makes them a file
  // to download.
  void OfferScreenshot(const std::vector<uint8_t>& png) override;
  // A chosen demo file's name and bytes are copied from the page's script
  // into the program's memory, which the program allocates.
  PageRequest TakeRequest() override;
  void BeginRun(RunKind kind) override;
  // Each piece is copied out to the page's script, which keeps the pieces
  // and makes them one file to save (a Blob) when the demo is offered.
  void AddDemoPiece(const std::vector<uint8_t>& piece) override;
  void OfferDemo() override;

 private:
  CanvasPixels pixels_;
};

}  // namespace rallix::web
