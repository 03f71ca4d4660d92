#include "sdl/screenshot/screenshots.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "base/printable_text.h"
#include "display/frame_png.h"
#include "sdl/system/files.h"

namespace rallix {
namespace {

// Far more pictures in one second than F12 can take: past them, the folder
// is taken for one that cannot be written.
constexpr int kMostNamesTried = 1000;

}  // namespace

std::string ScreenshotName(const std::tm& when, int number) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", when.tm_year + 1900,
                when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
  return std::string("rallix-") + stamp + (number > 1 ? "-" + std::to_string(number) : "") + ".png";
}

Screenshots::Screenshots(std::string folder, std::function<void(const std::string&)> say)
    : folder_(std::move(folder)), say_(std::move(say)) {}

void Screenshots::Say(const std::string& line) const {
  if (say_) {
    say_(line);
    return;
  }
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
}

std::string Screenshots::Fail(const std::string& why) {
  if (!failure_named_) {
    failure_named_ = true;
    Say(folder_.empty()
            ? "rallix: no folder for screenshots: " + why
            : "rallix: cannot save screenshots in " + PrintableText(folder_) + ": " + why);
  }
  return "";
}

std::string Screenshots::Save(const Surface& frame, const std::tm& when) {
  const auto start = std::chrono::steady_clock::now();
  if (folder_.empty())
    return Fail("the system names no pictures folder; --screenshot-dir DIR gives one");
  const std::string trouble = MakeFolders(folder_);
  if (!trouble.empty())
    return Fail(trouble);
  const std::vector<uint8_t> png = EncodeFramePng(frame);
  for (int number = 1; number <= kMostNamesTried; ++number) {
    const std::string path = JoinPath(folder_, ScreenshotName(when, number));
    std::string error;
    switch (WriteNewFile(path, png, error)) {
      case NewFile::kExists:
        continue;
      case NewFile::kFailed:
        return Fail(error);
      case NewFile::kWritten: {
        const long long took = std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now() - start)
                                   .count();
        ++count_;
        total_us_ += took;
        longest_us_ = std::max(longest_us_.load(), took);
        Say("rallix: screenshot " + PrintableText(path, 200));
        return path;
      }
    }
  }
  return Fail("every name for this second is taken");
}

}  // namespace rallix
