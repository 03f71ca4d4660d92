// A page for the web platform's tests: a clock that moves only when read or
// slept on, a canvas that receives the painted rectangles, touch and pad
// presses and demo requests queued by the test, and a record of every sleep,
// sound, line shown, run begun and demo offered.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "display/surface.h"
#include "web/page.h"

namespace rallix::web::testing {

class FakePage : public Page {
 public:
  double clock = 1000.0;
  double tick_per_read = 0.01;  // each reading of the clock costs this much
  double timer_lateness = 0;    // how much later than asked a sleep ends
  double sound_ms = 0;          // how long a sound played to its end lasts
  bool in_front = true;
  std::vector<ButtonEvent> button_events;  // taken at the next pass
  bool stop = false;
  // Called at the start of every pass with its number (0 first).
  std::function<void(int64_t pass)> on_pass;

  int64_t passes = 0;
  std::vector<int> sleeps;
  std::vector<double> pass_starts;
  std::vector<std::vector<CanvasRect>> paints;
  Surface canvas;
  Surface last_frame_painted;
  std::vector<std::string> sounds;  // "async pon.WAV", "sync pupu.WAV", "stop"
  std::vector<std::string> lines;
  PageRequest request;  // taken at the next pass
  std::vector<RunKind> runs;
  std::vector<uint8_t> recorded;                  // the pieces of the demo being recorded
  std::vector<std::vector<uint8_t>> offered;      // every demo offered to save
  bool screenshot_wanted = false;                 // asked for at the next pass
  std::vector<std::vector<uint8_t>> screenshots;  // every picture offered

  double Now() override {
    const double reading = clock;
    clock += tick_per_read;
    return reading;
  }
  void Sleep(int milliseconds) override {
    sleeps.push_back(milliseconds);
    clock += milliseconds + timer_lateness;
  }
  bool BeginPass() override {
    pass_starts.push_back(clock);
    if (on_pass)
      on_pass(passes);
    ++passes;
    return !stop;
  }
  bool InFront() override { return in_front; }
  std::vector<ButtonEvent> TakeButtonEvents() override { return std::exchange(button_events, {}); }
  void Paint(const Surface& frame, const std::vector<CanvasRect>& rects) override {
    for (const CanvasRect& rect : rects) {
      for (int y = rect.y; y < rect.y + rect.height; ++y) {
        for (int x = rect.x; x < rect.x + rect.width; ++x)
          canvas.Set(x, y, frame.At(x, y));
      }
    }
    paints.push_back(rects);
    last_frame_painted = frame;
  }
  void PlaySound(const std::string& file_name) override { sounds.push_back("async " + file_name); }
  void PlaySoundToEnd(const std::string& file_name) override {
    sounds.push_back("sync " + file_name);
    clock += sound_ms;
  }
  void StopSound() override { sounds.push_back("stop"); }
  void ShowLine(const std::string& text) override { lines.push_back(text); }
  void WaitForPlayAgain() override { lines.push_back("(play again)"); }
  PageRequest TakeRequest() override { return std::exchange(request, {}); }
  void BeginRun(RunKind kind) override {
    runs.push_back(kind);
    recorded.clear();
  }
  void AddDemoPiece(const std::vector<uint8_t>& piece) override {
    recorded.insert(recorded.end(), piece.begin(), piece.end());
  }
  void OfferDemo() override { offered.push_back(recorded); }
  bool ScreenshotWanted() override { return std::exchange(screenshot_wanted, false); }
  void OfferScreenshot(const std::vector<uint8_t>& png) override { screenshots.push_back(png); }
};

}  // namespace rallix::web::testing
