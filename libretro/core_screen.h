// What the frontend shows: the last frame the game presented, as palette
// indices and as the XRGB8888 picture handed over each run, and the frame a
// pass presented while a synchronous sound holds the game, which shows only
// once the sound has been heard (the desktop draws it after the sound).
#pragma once

#include <cstdint>
#include <vector>

#include "display/compositor.h"
#include "display/surface.h"

namespace rallix::libretro {

class CoreScreen {
 public:
  CoreScreen();

  // A frame the game presented: shown at once, or kept for the hold's end.
  // `pictures`, when the frame is their PictureMain just composed, say
  // where it may differ from the frame before.
  void Present(const Surface& frame, const Compositor* pictures);
  // A synchronous sound began while `shown` was on screen: frames presented
  // from now on wait.
  void BeginHold(const ComposedFrame& shown) {
    holding_ = true;
    held_ = shown;
  }
  // The sound has been heard: the frame presented during the hold, if any,
  // shows.
  void EndHold();
  bool Holding() const { return holding_; }

  // The shown frame as XRGB8888, 640 x 480, rows of 640 pixels, and as
  // palette indices.
  const uint32_t* Pixels() const { return pixels_.data(); }
  const Surface& Shown() const { return shown_; }

  // Shows the frame now; or the pictures' PictureMain, just composed.
  void Show(const Surface& frame);
  void ShowComposed(const Compositor& pictures);

  // What a save state keeps of it: the hold, the frame on screen while it
  // lasts, and whether the pictures' last frame waits for its end. During
  // a hold the frame on screen has been shown already.
  const ComposedFrame& HeldFrame() const { return held_; }
  bool HasWaiting() const { return has_waiting_; }
  void Restore(bool holding, const ComposedFrame& held, bool has_waiting,
               const Compositor& pictures);

 private:
  // Brings the block of the frame over where it differs.
  void ShowBlock(const Surface& frame, const Compositor::Block& block);

  Surface shown_;
  const Surface* waiting_ = nullptr;  // the pictures' PictureMain, or waiting_copy_
  Surface waiting_copy_;
  bool holding_ = false;
  bool has_waiting_ = false;
  ComposedFrame held_;
  // Whether the shown frame is the compositor's PictureMain as it was before
  // its last composition, so that the blocks it composed are all that can
  // differ (a frame waiting for a hold's end was composed since).
  bool in_step_ = true;
  std::vector<uint32_t> pixels_;
};

}  // namespace rallix::libretro
