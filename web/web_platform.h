// The game's platform in a browser tab: the canvas, the keys of the page,
// the page's millisecond clock, its keyboard focus and Web Audio, all reached
// through a Page. The frame loop's sleeps give the thread back to the browser,
// so the page stays responsive while the game runs.
#pragma once

#include <cstdint>
#include <string_view>

#include "display/surface.h"
#include "game/platform.h"
#include "web/page.h"
#include "web/web_keys.h"

namespace rallix::web {

// The page's clock (milliseconds since the page opened, with fractions) as
// the game's millisecond count: whole milliseconds, a 32-bit count seen as
// signed, wrapping as the desktop's does.
int32_t MillisecondCount(double page_milliseconds);

// How the wait for a deadline some milliseconds away is spent: sleeping,
// which lets the browser run, then spinning on the clock for what is too
// short to sleep. Browsers hold back repeated short timers to about 4 ms and
// often fire a timer a millisecond or two late, so a wait sleeps only in
// whole milliseconds, two short of the time left, and not at all when that
// is below 4 ms.
struct SleepPlan {
  int sleep_ms = 0;
};
SleepPlan PlanSleep(double milliseconds_left);

class WebPlatform : public Platform {
 public:
  explicit WebPlatform(Page& page) : page_(page) {}

  int32_t TimeGetTime() override { return MillisecondCount(page_.Now()); }
  // The key and focus events reach the game while the browser has the
  // thread: a pass that has not given it back since the last one does so
  // here. Then the touch controls' and gamepads' presses are taken in, and
  // a screenshot the player asked for. False when the page asked the game
  // to stop.
  bool ProcessMessages() override;
  // The page has the focus and the game is not paused. While it is not in
  // front, a press and release counts for nothing, as on the desktop.
  bool IsForeground() override;
  void GetKeyboardState(KeySnapshot& keys) override { held_.TakeSnapshot(keys); }
  void PlaySoundAsync(const std::string& file_name) override { page_.PlaySound(file_name); }
  void PlaySoundSync(const std::string& file_name) override;
  void StopSound() override { page_.StopSound(); }
  // Paints the cells that differ from the frame on the canvas.
  void Present(const Surface& frame) override;
  // Sleeps most of the time left, then spins to the deadline. A screenshot
  // asked for is made first, in the time the pass has to spare: the frame
  // last painted, as the desktop writes it (display/frame_png.h).
  void SleepUntil(int32_t deadline) override;
  void ReportFatalError(const std::string& message) override;

  // The page's key and focus events. KeyDown and KeyUp return true for the
  // game's keys, whose default action (scrolling) the page must prevent.
  bool KeyDown(std::string_view code, unsigned long key_code);
  bool KeyUp(std::string_view code, unsigned long key_code) {
    return held_.Release(code, key_code);
  }
  void FocusLost() { held_.ReleaseAll(); }

 private:
  Page& page_;
  HeldKeys held_;
  Surface shown_;
  bool painted_ = false;
  // The browser had the thread since the last pass began; so it had before
  // the first: the page has just started the program, and the first pass
  // draws at once.
  bool gave_way_ = true;
  bool screenshot_wanted_ = false;
};

}  // namespace rallix::web
