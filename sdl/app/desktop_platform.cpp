#include "sdl/app/desktop_platform.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iterator>
#include <utility>

#include "base/run_time_error.h"
#include "sdl/system/error_box.h"

namespace rallix {

namespace {

// How long the volume's mark shows after a change.
constexpr int32_t kVolumeShownMs = 1500;
constexpr int kVolumeStep = 10;

// Ctrl, Alt or the system key held: the key is not a plain press. A
// modifier the player bound to one of the game's keys (left = Left Ctrl) is
// that key, no modifier.
bool Modified(const SDL_KeyboardEvent& event, const KeyBindings& bindings) {
  constexpr std::pair<Uint16, SDL_Scancode> kModifiers[] = {
      {KMOD_LCTRL, SDL_SCANCODE_LCTRL}, {KMOD_RCTRL, SDL_SCANCODE_RCTRL},
      {KMOD_LALT, SDL_SCANCODE_LALT},   {KMOD_RALT, SDL_SCANCODE_RALT},
      {KMOD_LGUI, SDL_SCANCODE_LGUI},   {KMOD_RGUI, SDL_SCANCODE_RGUI}};
  return std::any_of(std::begin(kModifiers), std::end(kModifiers), [&](const auto& modifier) {
    return (event.keysym.mod & modifier.first) != 0 && !bindings.Binds(modifier.second);
  });
}

}  // namespace

SdlPlatform::SdlPlatform(SDL_Window* window, SdlSound& sound, SoundLocations sounds,
                         PlayerChoices choices)
    : window_(window),
      sound_(sound),
      sounds_(std::move(sounds)),
      display_(choices.display),
      presenter_(window),
      keys_(std::move(choices.keys)),
      title_(SDL_GetWindowTitle(window)),
      fullscreen_wanted_(choices.display.fullscreen),
      volume_(choices.volume),
      muted_(choices.muted),
      keep_(std::move(choices.keep)),
      screenshots_(std::move(choices.screenshot_folder)) {
  sound_.SetVolume(volume_, muted_);
  ShowMarks();
}

SdlPlatform::~SdlPlatform() = default;

bool SdlPlatform::ProcessMessages() {
  bool going_on = true;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    switch (event.type) {
      case SDL_QUIT:
        going_on = false;
        break;
      case SDL_KEYDOWN:
        if (HandleKeyDown(event.key))
          keys_.Claim(event.key.keysym.scancode);
        else
          keys_.Handle(event, HasFocus() && !paused_);
        break;
      case SDL_CONTROLLERDEVICEADDED:
      case SDL_CONTROLLERDEVICEREMOVED:
      case SDL_CONTROLLERBUTTONDOWN:
      case SDL_CONTROLLERAXISMOTION:
        keys_.Handle(event, HasFocus() && !paused_);
        break;
      case SDL_WINDOWEVENT:
        if (event.window.windowID != SDL_GetWindowID(window_))
          break;
        if (event.window.event == SDL_WINDOWEVENT_CLOSE)
          going_on = false;
        HandleWindowEvent(event.window);
        break;
      default:
        break;
    }
  }
  // The handlers see the keys as these messages left them, even when SDL
  // reads more of them before the next pass (while a sound holds the game).
  keys_.Settle();
  if (going_on && fullscreen_wanted_ != display_.Fullscreen()) {
    display_.SetFullscreen(window_, fullscreen_wanted_);
    presenter_.Repaint();
    Keep(Setting::kFullscreen, fullscreen_wanted_ ? 1 : 0);
  }
  if (volume_shown_ && clock_.Milliseconds() - volume_shown_until_ >= 0) {
    volume_shown_ = false;
    ShowMarks();
  }
  return going_on;
}

bool SdlPlatform::CloseRequested() {
  SDL_PumpEvents();
  if (SDL_HasEvent(SDL_QUIT))
    return true;
  SDL_Event events[64];
  const int count = SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
  const Uint32 id = SDL_GetWindowID(window_);
  for (int i = 0; i < count; ++i) {
    if (events[i].window.windowID == id && events[i].window.event == SDL_WINDOWEVENT_CLOSE)
      return true;
  }
  return false;
}

void SdlPlatform::PlaySoundSync(const std::string& file_name) {
  if (!sound_.PlaySync(sounds_.FileFor(file_name), [this] { return CloseRequested(); }))
    throw ProgramEnd{};
}

void SdlPlatform::HandleWindowEvent(const SDL_WindowEvent& event) {
  switch (event.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESIZED:
      presenter_.SurfaceLost();
      presenter_.Repaint();
      break;
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
      presenter_.Repaint();
      break;
    default:
      break;
  }
}

bool SdlPlatform::HandleKeyDown(const SDL_KeyboardEvent& event) {
  if (event.repeat != 0)
    return false;
  const bool alt = (event.keysym.mod & KMOD_ALT) != 0;
  const SDL_Scancode key = event.keysym.scancode;
  const std::optional<WindowKey> kept = WindowKeyOf(key);
  if (kept == WindowKey::kFullScreen ||
      (alt && (key == SDL_SCANCODE_RETURN || key == SDL_SCANCODE_KP_ENTER))) {
    fullscreen_wanted_ = !fullscreen_wanted_;
  } else if (kept == WindowKey::kLeaveFullScreen) {
    // A way out of the whole screen, which has no title bar; in a window
    // Escape does nothing.
    fullscreen_wanted_ = false;
  } else if (Modified(event, keys_.Bindings())) {
    return false;
  } else if (keys_.Bindings().IsPause(key)) {
    TogglePause();
  } else if (kept == WindowKey::kScreenshot) {
    TakeScreenshot();
  } else if (kept == WindowKey::kMute) {
    ChangeVolume(volume_, !muted_);
  } else if (kept == WindowKey::kVolumeDown || kept == WindowKey::kVolumeUp) {
    StepVolume(kept == WindowKey::kVolumeUp ? kVolumeStep : -kVolumeStep);
  } else {
    return false;
  }
  return true;
}

void SdlPlatform::TogglePause() {
  paused_ = !paused_;
  keys_.ForgetTaps();
  ShowMarks();
  SDL_SetWindowTitle(window_, paused_ ? (title_ + " (paused)").c_str() : title_.c_str());
}

void SdlPlatform::TakeScreenshot() {
  const std::time_t now = std::time(nullptr);
  const std::tm when = *std::localtime(&now);
  work_.Run([this, frame = presenter_.LastFrame(), when] { screenshots_.Save(frame, when); });
}

void SdlPlatform::StepVolume(int step) {
  // The mark shows at either end too, where the volume stays as it is.
  volume_shown_ = true;
  volume_shown_until_ = clock_.Milliseconds() + kVolumeShownMs;
  ChangeVolume(std::clamp(volume_ + step, 0, 100), muted_);
}

void SdlPlatform::ChangeVolume(int volume, bool muted) {
  if (volume != volume_) {
    volume_ = volume;
    Keep(Setting::kVolume, volume_);
  }
  if (muted != muted_) {
    muted_ = muted;
    Keep(Setting::kMute, muted_ ? 1 : 0);
  }
  sound_.SetVolume(volume_, muted_);
  ShowMarks();
}

void SdlPlatform::ShowMarks() {
  std::vector<std::string> marks;
  if (paused_)
    marks.emplace_back("PAUSED");
  if (muted_)
    marks.emplace_back("MUTED");
  if (volume_shown_)
    marks.push_back("VOL " + std::to_string(volume_));
  presenter_.ShowMarks(marks);
}

void SdlPlatform::Keep(Setting setting, int value) {
  if (keep_)
    keep_(setting, value);
}

bool SdlPlatform::HasFocus() const {
  return (SDL_GetWindowFlags(window_) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool SdlPlatform::IsForeground() {
  const bool in_front = HasFocus() && !paused_;
  if (!in_front)
    keys_.ForgetTaps();
  return in_front;
}

void SdlPlatform::ReportFatalError(const std::string& message) {
  std::fprintf(stderr, "rallix: %s\n", message.c_str());
  std::fflush(stderr);
  ShowErrorBox(window_, message);
}

}  // namespace rallix
