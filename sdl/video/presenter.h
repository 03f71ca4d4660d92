// Shows finished frames in the window, through SDL's window surface, in
// software: the 640 x 480 picture at the largest whole scale that fits the
// surface, centred, black around it; every picture pixel an exact block.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "display/changed_cells.h"
#include "display/surface.h"
#include "sdl/video/display_mode.h"

namespace rallix {

class SdlPresenter {
 public:
  explicit SdlPresenter(SDL_Window* window) : window_(window) {}
  SdlPresenter(const SdlPresenter&) = delete;
  SdlPresenter& operator=(const SdlPresenter&) = delete;

  // Puts the frame on screen: palette index 0 black, anything else white.
  // Only the cells that changed since the last frame are drawn and sent to
  // the window, at their scaled place; the whole picture the first time and
  // whenever the window surface is not the one last drawn into.
  void Present(const Surface& frame);
  // Fits the picture to the window surface as it is now (fetched anew,
  // placed anew) and shows the last presented frame whole, black around it
  // (all black before the first frame). The window was uncovered, or changed
  // its size or mode: every such change ends here.
  void Repaint();
  // The window surface has been or will be recreated (the window changed
  // size): the next presentation sends the whole picture.
  void SurfaceLost() { whole_next_ = true; }
  // Short lines of text shown outside the game's own picture while they
  // last ("PAUSED", "MUTED", "VOL 80"; capitals, digits and spaces, eight
  // characters at most): all on one line in the black border above the
  // picture where that is tall enough, otherwise each in a small framed box
  // over the picture's blank corner right of the status panel, one under
  // another. They are drawn here only, never into a frame of the game, and
  // the picture shows again where they were once they go. Empty: none.
  void ShowMarks(const std::vector<std::string>& marks);
  // Where each mark was last drawn in the window surface, in order.
  const std::vector<SDL_Rect>& MarkAreas() const { return mark_areas_; }
  // The last frame presented, as the game made it (all black before one).
  const Surface& LastFrame() const { return shown_; }

  // Where the picture was last drawn in the window surface.
  PicturePlace Place() const { return place_; }
  // How many frames reached the window, and how many of them whole.
  long FramesShown() const { return frames_shown_; }
  long WholeFramesShown() const { return whole_frames_shown_; }

 private:
  // Draws the changed cells `runs` of `shown_` into the window surface at
  // their scaled place, cut to the surface, and sends them to the window; all
  // of it, with the black around, when `runs` is null or the surface is not
  // the one last drawn into.
  void Show(const std::vector<CellRun>* runs);
  // True when `target` is the surface last drawn into, at the same size.
  bool SameTarget(const SDL_Surface* target) const;
  // Draws one rectangle of the picture scaled into `target`; the part of the
  // surface it covered, or an empty rectangle when it lies outside.
  SDL_Rect DrawScaled(SDL_Surface* target, const SDL_Rect& area);
  // Draws the marks into `target` (pixels at hand) and keeps where.
  void DrawMarks(SDL_Surface* target);

  SDL_Window* window_;
  SDL_Surface* target_ = nullptr;
  int target_w_ = 0;
  int target_h_ = 0;
  PicturePlace place_;
  Surface shown_;
  const Surface* last_frame_ = nullptr;  // the picture last presented, and its writes then
  uint64_t last_writes_ = 0;
  std::vector<uint8_t> row_;     // one scaled row in the surface's pixel format
  std::vector<SDL_Rect> parts_;  // the parts of the surface drawn for one frame
  bool whole_next_ = true;
  std::vector<std::string> marks_;
  std::vector<SDL_Rect> mark_areas_;
  long frames_shown_ = 0;
  long whole_frames_shown_ = 0;
};

}  // namespace rallix
