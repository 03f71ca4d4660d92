// Shows finished frames in the window, through SDL's window surface: the
// picture at its own size in the window's top-left corner, whatever size the
// window has been given.
#pragma once

#include <SDL.h>

#include "display/surface.h"

namespace rallix {

class SdlPresenter {
 public:
  explicit SdlPresenter(SDL_Window* window);
  ~SdlPresenter();
  SdlPresenter(const SdlPresenter&) = delete;
  SdlPresenter& operator=(const SdlPresenter&) = delete;

  // Puts the frame on screen: palette index 0 black, anything else white.
  // Only the cells that changed since the last frame are sent to the window;
  // the whole picture the first time and after the window surface was lost.
  void Present(const Surface& frame);
  // Shows the last presented frame again, whole (black before the first
  // frame): the window was uncovered or needs repainting for another reason.
  void Repaint();
  // The window surface has been or will be recreated (the window changed
  // size): the next presentation sends the whole picture.
  void SurfaceLost() { whole_next_ = true; }

  // How many frames reached the window, and how many of them whole.
  long FramesShown() const { return frames_shown_; }
  long WholeFramesShown() const { return whole_frames_shown_; }

 private:
  // Draws the rectangles of `shown_` into the window surface and sends them
  // to the window, each cut to the surface's size; all of it when `rects` is
  // null or the surface is not the one last drawn into.
  void Show(const SDL_Rect* rects, int count);
  // True when `target` is the surface last drawn into, at the same size.
  bool SameTarget(const SDL_Surface* target) const;

  SDL_Window* window_;
  SDL_Surface* target_ = nullptr;
  int target_w_ = 0;
  int target_h_ = 0;
  // An 8-bit view of `shown_` whose palette turns indices into colours.
  SDL_Surface* indexed_ = nullptr;
  Surface shown_;
  bool whole_next_ = true;
  long frames_shown_ = 0;
  long whole_frames_shown_ = 0;
};

}  // namespace rallix
