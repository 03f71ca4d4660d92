// What the frontend shows: the last frame the game presented, as palette
// indices and as the XRGB8888 picture handed over each run, and the frame a
// pass presented while a synchronous sound holds the game, which shows only
// once the sound has been heard (the desktop draws it after the sound).
#pragma once

#include <cstdint>
#include <vector>

#include "display/surface.h"

namespace rallix::libretro {

class CoreScreen {
 public:
  CoreScreen();

  // A frame the game presented: shown at once, or kept for the hold's end.
  void Present(const Surface& frame);
  // A synchronous sound began: frames presented from now on wait.
  void BeginHold() { holding_ = true; }
  // The sound has been heard: the frame presented during the hold, if any,
  // shows.
  void EndHold();
  bool Holding() const { return holding_; }

  // The shown frame as XRGB8888, 640 x 480, rows of 640 pixels.
  const uint32_t* Pixels() const { return pixels_.data(); }

  // What a save state keeps: the shown frame, and during a hold the frame
  // waiting for its end (black when none came).
  const Surface& Shown() const { return shown_; }
  const Surface& Waiting() const { return waiting_; }
  bool HasWaiting() const { return has_waiting_; }
  void Restore(const Surface& shown, bool holding, bool has_waiting, const Surface& waiting);

 private:
  void Show(const Surface& frame);

  Surface shown_;
  Surface waiting_;
  bool holding_ = false;
  bool has_waiting_ = false;
  std::vector<uint32_t> pixels_;
};

}  // namespace rallix::libretro
