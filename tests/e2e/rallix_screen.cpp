// rallix_screen: the end-to-end tests' eyes. Renders the frames of the
// headless game, compares captures of the real window with them and reads a
// capture back as the text on screen.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>

#include "display/glyph_sheet.h"
#include "tests/e2e/ball_finder.h"
#include "tests/e2e/screen_capture.h"
#include "tests/e2e/scripted_situations.h"
#include "tests/e2e/xwd_image.h"

namespace rallix::e2e {
namespace {

constexpr int kOk = 0;
constexpr int kDiffers = 1;
constexpr int kTrouble = 2;

int Usage() {
  std::fputs(
      "usage: rallix_screen render SITUATION OUT.pgm   the headless frame as a PGM picture\n"
      "       rallix_screen compare CAPTURE.xwd SITUATION\n"
      "                                  exit 0 when the capture equals the frame\n"
      "                                  pixel for pixel, 1 when it differs\n"
      "       rallix_screen text CAPTURE.xwd   the screen as 30 lines of 40 characters\n"
      "                                  ('?' for a cell that shows no glyph)\n"
      "       rallix_screen look CAPTURE.xwd   the same text, then a line 'ball X Y' for\n"
      "                                  every place the ball's block shows whole\n"
      "       rallix_screen situations         the situations known\n",
      stderr);
  return kTrouble;
}

std::optional<Surface> Frame(const std::string& situation) {
  std::optional<Surface> frame = RenderSituation(situation);
  if (!frame) {
    std::fprintf(stderr, "rallix_screen: unknown situation '%s' (see: rallix_screen situations)\n",
                 situation.c_str());
  }
  return frame;
}

bool Capture(const std::string& path, RgbImage& image) {
  std::string error;
  if (ReadXwdFile(path, image, error))
    return true;
  std::fprintf(stderr, "rallix_screen: %s\n", error.c_str());
  return false;
}

int Render(const std::string& situation, const std::string& out) {
  const std::optional<Surface> frame = Frame(situation);
  if (!frame)
    return kTrouble;
  std::ofstream file(out, std::ios::binary);
  file << "P5\n" << kScreenWidth << ' ' << kScreenHeight << "\n255\n";
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x)
      file.put(frame->At(x, y) == kBlack ? '\0' : '\xff');
  }
  file.close();
  if (!file) {
    std::fprintf(stderr, "rallix_screen: cannot write %s\n", out.c_str());
    return kTrouble;
  }
  return kOk;
}

int Compare(const std::string& capture_path, const std::string& situation) {
  RgbImage capture;
  if (!Capture(capture_path, capture))
    return kTrouble;
  const std::optional<Surface> frame = Frame(situation);
  if (!frame)
    return kTrouble;
  const FrameDifference difference = CompareWithFrame(capture, *frame);
  std::fputs(Describe(difference, capture, *frame).c_str(), stdout);
  return difference.Same() ? kOk : kDiffers;
}

// 30 lines of 40 characters; false when the capture is not 640 x 480.
bool PrintText(const RgbImage& capture) {
  const ScreenReader reader(BuiltInGlyphSheet());
  const std::vector<std::string> lines = reader.Read(capture);
  if (lines.empty()) {
    std::fprintf(stderr, "rallix_screen: the capture is %d x %d, not 640 x 480\n", capture.width,
                 capture.height);
    return false;
  }
  for (const std::string& line : lines)
    std::printf("%s\n", line.c_str());
  return true;
}

int Text(const std::string& capture_path) {
  RgbImage capture;
  if (!Capture(capture_path, capture))
    return kTrouble;
  return PrintText(capture) ? kOk : kTrouble;
}

// The text and the ball from one capture: what a test steering the paddle
// needs, in one run of the tool.
int Look(const std::string& capture_path) {
  RgbImage capture;
  if (!Capture(capture_path, capture) || !PrintText(capture))
    return kTrouble;
  for (const BallSighting& ball : BallFinder(BuiltInGlyphSheet()).Find(capture))
    std::printf("ball %d %d\n", ball.x, ball.y);
  return kOk;
}

int ListSituations() {
  for (const SituationInfo& info : Situations()) {
    std::printf("%-14s %s\n", info.name.c_str(), info.description.c_str());
  }
  return kOk;
}

}  // namespace
}  // namespace rallix::e2e

int main(int argc, char** argv) {
  using namespace rallix::e2e;
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "render" && argc == 4)
    return Render(argv[2], argv[3]);
  if (command == "compare" && argc == 4)
    return Compare(argv[2], argv[3]);
  if (command == "text" && argc == 3)
    return Text(argv[2]);
  if (command == "look" && argc == 3)
    return Look(argv[2]);
  if (command == "situations" && argc == 2)
    return ListSituations();
  return Usage();
}
