// Pictures of the game taken with F12: the game's own 640 x 480 frame,
// exact, as a PNG file (display/frame_png.h), never the window with the
// black around it or a mark over it. Each goes into the folder as a new
// file named by the moment it was taken, never in the place of another.
#pragma once

#include <atomic>
#include <chrono>
#include <ctime>
#include <functional>
#include <string>

#include "display/surface.h"

namespace rallix {

// "rallix-20250131-235959.png" for a picture taken then; with "-2", "-3"...
// before ".png" for the second, third... `number` of that second.
std::string ScreenshotName(const std::tm& when, int number = 1);

class Screenshots {
 public:
  // Into `folder`, made when the first picture is taken; empty when the
  // system names no pictures folder. `say` takes each line for stderr (the
  // default writes it there).
  explicit Screenshots(std::string folder, std::function<void(const std::string&)> say = {});

  // Writes `frame` as a new file in the folder, named for `when`, and says
  // which in one line ("rallix: screenshot PATH"). A folder that cannot be
  // made or written is named once, with the reason; the path written, or
  // empty.
  std::string Save(const Surface& frame, const std::tm& when);

  const std::string& Folder() const { return folder_; }
  // How many pictures were written, and how long encoding and writing them
  // took, all of them and the longest.
  struct Timing {
    long count = 0;
    std::chrono::microseconds total{0};
    std::chrono::microseconds longest{0};
  };
  Timing Took() const {
    return {count_.load(), std::chrono::microseconds(total_us_.load()),
            std::chrono::microseconds(longest_us_.load())};
  }

 private:
  void Say(const std::string& line) const;
  std::string Fail(const std::string& why);

  std::string folder_;
  std::function<void(const std::string&)> say_;
  bool failure_named_ = false;
  std::atomic<long> count_{0};
  std::atomic<long long> total_us_{0};
  std::atomic<long long> longest_us_{0};
};

}  // namespace rallix
