// rallix_screen: the end-to-end tests' eyes. Renders the frames of the
// headless game, compares captures of the real window with them and reads a
// capture back as the text on screen.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "demo/parser.h"
#include "demo/player.h"
#include "display/glyph_sheet.h"
#include "tests/e2e/programs/ball_finder.h"
#include "tests/e2e/programs/capture_file.h"
#include "tests/e2e/programs/screen_capture.h"
#include "tests/e2e/programs/scripted_situations.h"
#include "tests/support/scripted_platform.h"
#include "tools/file_output.h"

namespace rallix::e2e {
namespace {

constexpr int kOk = 0;
constexpr int kDiffers = 1;
constexpr int kTrouble = 2;

int Usage() {
  std::fputs(
      "usage: rallix_screen render SITUATION OUT.png   the headless frame as a picture\n"
      "                                  (a PGM file when OUT ends in .pgm)\n"
      "       rallix_screen compare CAPTURE SITUATION\n"
      "                                  exit 0 when the capture equals the frame\n"
      "                                  pixel for pixel, 1 when it differs\n"
      "       rallix_screen text CAPTURE   the screen as 30 lines of 40 characters\n"
      "                                  ('?' for a cell that shows no glyph)\n"
      "       rallix_screen look CAPTURE   the same text, then a line 'ball X Y' for\n"
      "                                  every place the ball's block shows whole\n"
      "       rallix_screen find CAPTURE SITUATION\n"
      "                                  'X Y' where the frame shows exactly (at the\n"
      "                                  scale --scale N gives), whatever lies around\n"
      "                                  it; exit 1 when it shows nowhere\n"
      "       rallix_screen png CAPTURE OUT.png\n"
      "                                  the capture as render writes a frame; refused\n"
      "                                  unless 640 x 480 in black and white\n"
      "       rallix_screen demo-end DEMO OUT.png\n"
      "                                  the last frame the demo shows, replayed\n"
      "                                  headless, as render writes a frame\n"
      "       rallix_screen grab WINDOW CAPTURE\n"
      "                                  the window (an X window id, or root for the\n"
      "                                  screen) as the X server shows it\n"
      "       rallix_screen watch WINDOW  for each line read, looks at the window as\n"
      "                                  look does and prints a line 'end'\n"
      "       rallix_screen situations         the situations known\n"
      "A capture may be followed by --scale N --at X,Y: the picture is N times its\n"
      "size with its corner at (X, Y), each pixel an exact block, black around it.\n",
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

// Where the picture lies in the captures: at 1x in the corner unless told.
struct Placement {
  int scale = 1;
  int x = 0;
  int y = 0;
};
// What reading a capture came to.
enum class Read { kPicture, kNotThePicture, kUnreadable };

// The picture where `placement` says it lies in `whole`. A capture that
// shows something else there (a window caught while it repaints) is
// kNotThePicture.
Read Place(RgbImage whole, const Placement& placement, RgbImage& image) {
  if (placement.scale == 1 && placement.x == 0 && placement.y == 0) {
    image = std::move(whole);
    return Read::kPicture;
  }
  std::string error;
  if (PictureIn(whole, placement.scale, placement.x, placement.y, image, error))
    return Read::kPicture;
  std::fprintf(stderr, "rallix_screen: %s\n", error.c_str());
  return Read::kNotThePicture;
}

// The capture file's picture, placed as above; a file that is no capture
// at all is kUnreadable.
Read Capture(const std::string& path, const Placement& placement, RgbImage& image) {
  std::string error;
  RgbImage whole;
  if (!ReadCaptureFile(path, whole, error)) {
    std::fprintf(stderr, "rallix_screen: %s\n", error.c_str());
    return Read::kUnreadable;
  }
  return Place(std::move(whole), placement, image);
}

// "--scale N --at X,Y" at the end of the arguments; false for anything else.
bool ReadPlacement(int& argc, char** argv, Placement& placement) {
  while (argc >= 3) {
    const std::string option = argv[argc - 2];
    const char* value = argv[argc - 1];
    if (option == "--scale") {
      if (std::sscanf(value, "%d", &placement.scale) != 1 || placement.scale < 1)
        return false;
    } else if (option == "--at") {
      if (std::sscanf(value, "%d,%d", &placement.x, &placement.y) != 2)
        return false;
    } else {
      return true;
    }
    argc -= 2;
  }
  return true;
}

// A PGM file (for the browser test's reader) or, by default, a PNG.
bool WritePicture(const Surface& frame, const std::string& out) {
  std::vector<uint8_t> bytes;
  if (out.size() > 4 && out.compare(out.size() - 4, 4, ".pgm") == 0) {
    const std::string header = "P5\n640 480\n255\n";
    bytes.assign(header.begin(), header.end());
    for (int y = 0; y < kScreenHeight; ++y) {
      for (int x = 0; x < kScreenWidth; ++x)
        bytes.push_back(frame.At(x, y) == kBlack ? 0 : 255);
    }
  } else {
    bytes = FramePng(frame);
  }
  try {
    art::WriteFileIfChanged(out, bytes);
    return true;
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "rallix_screen: %s\n", error.what());
    return false;
  }
}

int DemoEnd(const std::string& path, const std::string& out) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
  const ParsedDemo parsed = ParseDemo(bytes);
  if (!in.is_open() || !parsed.error.empty()) {
    std::fprintf(stderr, "rallix_screen: cannot play %s: %s\n", path.c_str(),
                 in.is_open() ? parsed.error.c_str() : "it cannot be read");
    return kTrouble;
  }
  testing::ScriptedPlatform machine;
  const Replay replay = PlayDemo(machine, parsed.demo);
  if (replay.end.kind != ReplayEnd::Kind::kFinished) {
    std::fprintf(stderr, "rallix_screen: %s\n", replay.end.message.c_str());
    return kTrouble;
  }
  return WritePicture(machine.last_frame, out) ? kOk : kTrouble;
}

int Render(const std::string& situation, const std::string& out) {
  const std::optional<Surface> frame = Frame(situation);
  return frame && WritePicture(*frame, out) ? kOk : kTrouble;
}

// The capture's picture as a PNG file: the game's two colours at 640 x 480.
int Png(const std::string& capture_path, const Placement& placement, const std::string& out) {
  RgbImage capture;
  if (Capture(capture_path, placement, capture) != Read::kPicture)
    return kTrouble;
  if (capture.width != kScreenWidth || capture.height != kScreenHeight) {
    std::fprintf(stderr, "rallix_screen: the capture is %d x %d, not 640 x 480\n", capture.width,
                 capture.height);
    return kTrouble;
  }
  long other_colours = 0;
  const Surface frame = FrameOf(capture, &other_colours);
  if (other_colours != 0) {
    std::fprintf(stderr, "rallix_screen: %ld pixels of the capture are neither black nor white\n",
                 other_colours);
    return kTrouble;
  }
  return WritePicture(frame, out) ? kOk : kTrouble;
}

int Compare(const std::string& capture_path, const Placement& placement,
            const std::string& situation) {
  RgbImage capture;
  const Read read = Capture(capture_path, placement, capture);
  if (read != Read::kPicture)
    return read == Read::kNotThePicture ? kDiffers : kTrouble;
  const std::optional<Surface> frame = Frame(situation);
  if (!frame)
    return kTrouble;
  const FrameDifference difference = CompareWithFrame(capture, *frame);
  std::fputs(Describe(difference, capture, *frame).c_str(), stdout);
  return difference.Same() ? kOk : kDiffers;
}

// 30 lines of 40 characters; false when the capture is not 640 x 480.
bool PrintText(const RgbImage& capture) {
  const std::vector<std::string> lines = ReadScreen(capture, BuiltInGlyphSheet());
  if (lines.empty()) {
    std::fprintf(stderr, "rallix_screen: the capture is %d x %d, not 640 x 480\n", capture.width,
                 capture.height);
    return false;
  }
  for (const std::string& line : lines)
    std::printf("%s\n", line.c_str());
  return true;
}

int Text(const std::string& capture_path, const Placement& placement) {
  RgbImage capture;
  if (Capture(capture_path, placement, capture) != Read::kPicture)
    return kTrouble;
  return PrintText(capture) ? kOk : kTrouble;
}

// The text, then the ball wherever its block shows whole: what a test
// steering the paddle needs.
bool PrintLook(const RgbImage& capture) {
  if (!PrintText(capture))
    return false;
  for (const BallSighting& ball : BallFinder(BuiltInGlyphSheet()).Find(capture))
    std::printf("ball %d %d\n", ball.x, ball.y);
  return true;
}

int Look(const std::string& capture_path, const Placement& placement) {
  RgbImage capture;
  return Capture(capture_path, placement, capture) == Read::kPicture && PrintLook(capture)
             ? kOk
             : kTrouble;
}

// A look at the window for each line read, each ended by a line "end",
// until the input ends: one run of the tool for a whole game, so that a
// test that steers sees the window many times a second, on a busy machine
// too, where starting a tool for each look takes a good part of a second.
int Watch(const std::string& window, const Placement& placement) {
  for (int c = std::getchar(); c != EOF; c = std::getchar()) {
    if (c != '\n')
      continue;
    RgbImage whole;
    RgbImage capture;
    std::string error;
    if (!GrabWindow(window, whole, error)) {
      std::fprintf(stderr, "rallix_screen: %s\n", error.c_str());
      return kTrouble;
    }
    if (Place(std::move(whole), placement, capture) != Read::kPicture || !PrintLook(capture))
      return kTrouble;
    std::puts("end");
    std::fflush(stdout);
  }
  return kOk;
}

int Find(const std::string& capture_path, const Placement& placement,
         const std::string& situation) {
  RgbImage capture;
  std::string error;
  if (!ReadCaptureFile(capture_path, capture, error)) {
    std::fprintf(stderr, "rallix_screen: %s\n", error.c_str());
    return kTrouble;
  }
  const std::optional<Surface> frame = Frame(situation);
  if (!frame)
    return kTrouble;
  const std::optional<std::pair<int, int>> found = FindFrame(capture, *frame, placement.scale);
  if (!found)
    return kDiffers;
  std::printf("%d %d\n", found->first, found->second);
  return kOk;
}

int Grab(const std::string& window, const std::string& out) {
  RgbImage capture;
  std::string error;
  if (!GrabWindow(window, capture, error)) {
    std::fprintf(stderr, "rallix_screen: %s\n", error.c_str());
    return kTrouble;
  }
  try {
    art::WriteFileIfChanged(out, EncodeCapture(capture));
    return kOk;
  } catch (const std::runtime_error& failure) {
    std::fprintf(stderr, "rallix_screen: %s\n", failure.what());
    return kTrouble;
  }
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
  Placement placement;
  if (!ReadPlacement(argc, argv, placement))
    return Usage();
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "render" && argc == 4)
    return Render(argv[2], argv[3]);
  if (command == "compare" && argc == 4)
    return Compare(argv[2], placement, argv[3]);
  if (command == "png" && argc == 4)
    return Png(argv[2], placement, argv[3]);
  if (command == "text" && argc == 3)
    return Text(argv[2], placement);
  if (command == "look" && argc == 3)
    return Look(argv[2], placement);
  if (command == "find" && argc == 4)
    return Find(argv[2], placement, argv[3]);
  if (command == "demo-end" && argc == 4)
    return DemoEnd(argv[2], argv[3]);
  if (command == "grab" && argc == 4)
    return Grab(argv[2], argv[3]);
  if (command == "watch" && argc == 3)
    return Watch(argv[2], placement);
  if (command == "situations" && argc == 2)
    return ListSituations();
  return Usage();
}
