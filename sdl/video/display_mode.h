// How the game's 640 x 480 picture is shown: in a window of a whole number
// of times its size, or on the whole screen, and where in the window surface
// it goes. The picture itself never changes; only its presentation scales.
#pragma once

#include <SDL.h>

#include <string>

namespace rallix {

// What the player asked for, on the command line or in the settings file.
struct DisplayOptions {
  int scale = 1;  // the window's size in times 640 x 480
  bool fullscreen = false;
};

// Where the picture goes in a surface: each of its pixels an exact `scale`
// x `scale` block, its top-left corner at (x, y).
struct PicturePlace {
  int scale = 1;
  int x = 0;
  int y = 0;
  friend bool operator==(const PicturePlace& a, const PicturePlace& b) {
    return a.scale == b.scale && a.x == b.x && a.y == b.y;
  }
};

// The place of the picture in a surface of `width` x `height`: the largest
// whole scale that fits, centred, black around it. In a surface too small
// even at 1x the picture stays at 1x, centred on an axis where it fits and
// from the top or left edge where it does not, cut off at the surface.
PicturePlace PlacePicture(int width, int height);

// The window's mode: a fixed window of the scale asked for (as large as the
// screen allows), or the whole screen at the desktop's resolution.
class SdlDisplayMode {
 public:
  explicit SdlDisplayMode(DisplayOptions options) : options_(options) {}

  // The window's size outside fullscreen on the given display: 640 x 480
  // times the scale asked for, or the largest whole scale whose window fits
  // the display's usable area (at least 1).
  SDL_Point WindowSize(int display) const;
  // When the scale asked for does not fit the display, one line that says
  // the scale used and why, naming where it was asked for: the settings
  // file at `file`, or without one the command line. Empty when it fits.
  std::string ScaleNote(int display, const std::string& file = "") const;
  // Puts the shown window in the mode: the whole screen, or a window of its
  // size again, centred. The window surface is then new; the presenter must
  // repaint.
  void Apply(SDL_Window* window) const;
  // Alt+Enter and F11: to the whole screen or back to the window.
  void SetFullscreen(SDL_Window* window, bool fullscreen) {
    options_.fullscreen = fullscreen;
    Apply(window);
  }
  bool Fullscreen() const { return options_.fullscreen; }

 private:
  DisplayOptions options_;
};

}  // namespace rallix
