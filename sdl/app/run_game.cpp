#include "sdl/app/run_game.h"

#include <cstdio>
#include <string>
#include <utility>

#include "display/surface.h"
#include "sdl/input/pad_mappings_file.h"
#include "sdl/sound/folders.h"
#include "sdl/system/process.h"
#include "sdl/system/quiet_stderr.h"
#include "sdl/system/window_system.h"
#include "sdl/video/window_icon.h"
#include "sdl/video/window_placement.h"

namespace rallix {
namespace {

constexpr char kCaption[] = "Rallix";

// SDL_Quit on every way out.
class SdlVideo {
 public:
  SdlVideo() {
    // SDL turns SIGINT and SIGTERM into a quit event, which ends the game like
    // closing the window: keep that on whatever the environment says.
    SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "0", SDL_HINT_OVERRIDE);
    ChooseWindowSystem();
    RefuseUnusablePadMappingsFile();
    // The window system's libraries may complain on stderr while SDL looks
    // for a display; the one line that matters is ours.
    QuietStderr quiet;
    started_ = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
    // Gamepads are welcome but not needed: without them the game plays on.
    if (started_)
      SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
  }
  ~SdlVideo() { SDL_Quit(); }
  SdlVideo(const SdlVideo&) = delete;
  SdlVideo& operator=(const SdlVideo&) = delete;
  bool Started() const { return started_; }

 private:
  bool started_ = false;
};

class GameWindow {
 public:
  // `scale_file`: the settings file that asked for the scale, if it did.
  GameWindow(const SdlDisplayMode& mode, const std::string& scale_file) {
    // Frames go through the window surface, in software where the window
    // system allows it.
    ChooseWindowSurface();
    const SDL_Point size = mode.WindowSize(0);
    const std::string note = mode.ScaleNote(0, scale_file);
    if (!note.empty())
      std::fprintf(stderr, "%s\n", note.c_str());
    window_ = SDL_CreateWindow(kCaption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, size.x,
                               size.y, SDL_WINDOW_HIDDEN);
    if (window_ == nullptr)
      return;
    SetWindowIcon(window_);
    SDL_ShowWindow(window_);
    if (mode.Fullscreen())
      mode.Apply(window_);
    else
      CentreByFrame(window_);
    SDL_RaiseWindow(window_);
  }
  ~GameWindow() {
    if (window_ != nullptr)
      SDL_DestroyWindow(window_);
  }
  GameWindow(const GameWindow&) = delete;
  GameWindow& operator=(const GameWindow&) = delete;
  SDL_Window* get() const { return window_; }

 private:
  SDL_Window* window_ = nullptr;
};

// One line that says why, with the display the game looked for.
int CannotOpenWindow() {
  std::fprintf(stderr, "rallix: cannot open a window: %s%s\n", SDL_GetError(),
               WhereTheDisplayWasLookedFor().c_str());
  return 1;
}

// The window is there but nothing can be drawn in it: one line that says
// why, rather than a window that never shows.
int CannotShowPicture() {
  const char* driver = SDL_GetCurrentVideoDriver();
  std::fprintf(stderr, "rallix: cannot show a picture in the window (%s video): %s\n",
               driver != nullptr ? driver : "no", SDL_GetError());
  return 1;
}

}  // namespace

int RunOnSdl(const PlayerChoices& choices, const std::function<int(SdlPlatform&)>& game) {
  PrepareProcess();
  SoundLocations sounds = FindGameSounds();
  for (const std::string& line : sounds.Lines())
    std::fprintf(stderr, "%s\n", line.c_str());
  SdlVideo video;
  if (!video.Started())
    return CannotOpenWindow();
  GameWindow window{SdlDisplayMode(choices.display), choices.scale_file};
  if (window.get() == nullptr)
    return CannotOpenWindow();
  if (SDL_GetWindowSurface(window.get()) == nullptr)
    return CannotShowPicture();
  SdlSound sound;
  // Every sound is ready before the first frame: a hit never waits for a
  // file to be read.
  for (const std::string& file : sounds.FoundFiles())
    sound.Prepare(file);
  SdlPlatform platform(window.get(), sound, std::move(sounds), choices);
  return game(platform);
}

}  // namespace rallix
