#include "web/web_platform.h"

#include <cmath>

#include "display/changed_cells.h"
#include "display/frame_png.h"

namespace rallix::web {
namespace {

constexpr double kShortestSleepMs = 4.0;
constexpr int kTimerLatenessMs = 2;

}  // namespace

int32_t MillisecondCount(double page_milliseconds) {
  const double whole = std::floor(page_milliseconds);
  // Through 64 bits to 32: the count wraps instead of overflowing.
  const auto count = static_cast<uint32_t>(static_cast<int64_t>(std::fmod(whole, 4294967296.0)));
  return static_cast<int32_t>(count);
}

SleepPlan PlanSleep(double milliseconds_left) {
  SleepPlan plan;
  if (milliseconds_left >= kShortestSleepMs + kTimerLatenessMs)
    plan.sleep_ms = static_cast<int>(milliseconds_left) - kTimerLatenessMs;
  return plan;
}

bool WebPlatform::ProcessMessages() {
  if (!gave_way_)
    page_.Sleep(0);
  gave_way_ = false;
  const bool going_on = page_.BeginPass();
  screenshot_wanted_ = page_.ScreenshotWanted() || screenshot_wanted_;
  for (const ButtonEvent& event : page_.TakeButtonEvents()) {
    if (event.down)
      held_.Press(event.source, event.virtual_key);
    else
      held_.Release(event.source, event.virtual_key);
  }
  return going_on;
}

bool WebPlatform::IsForeground() {
  const bool in_front = page_.InFront();
  if (!in_front)
    held_.ForgetTaps();
  return in_front;
}

bool WebPlatform::KeyDown(std::string_view code, unsigned long key_code) {
  const bool game_key = held_.Press(code, key_code);
  if (!page_.InFront())
    held_.ForgetTaps();
  return game_key;
}

void WebPlatform::PlaySoundSync(const std::string& file_name) {
  page_.PlaySoundToEnd(file_name);
  gave_way_ = true;
}

void WebPlatform::Present(const Surface& frame) {
  if (!painted_) {
    page_.Paint(frame, {WholeCanvas()});
    painted_ = true;
  } else {
    const std::vector<CanvasRect> runs = ChangedCellRuns(shown_, frame);
    if (runs.empty())
      return;
    page_.Paint(frame, runs);
  }
  shown_ = frame;
}

void WebPlatform::SleepUntil(int32_t deadline) {
  if (screenshot_wanted_) {
    screenshot_wanted_ = false;
    page_.OfferScreenshot(EncodeFramePng(shown_));
  }
  // Milliseconds from the page's clock now to the first moment the count
  // reads `deadline`, compared by signed difference as the count wraps.
  const auto left = [&](double now) {
    const auto whole = static_cast<int32_t>(static_cast<uint32_t>(deadline) -
                                            static_cast<uint32_t>(MillisecondCount(now)));
    return whole - (now - std::floor(now));
  };
  const SleepPlan plan = PlanSleep(left(page_.Now()));
  if (plan.sleep_ms > 0) {
    page_.Sleep(plan.sleep_ms);
    gave_way_ = true;
  }
  while (left(page_.Now()) > 0) {
  }
}

void WebPlatform::ReportFatalError(const std::string& message) {
  page_.ShowLine("Rallix has stopped: " + message);
}

}  // namespace rallix::web
