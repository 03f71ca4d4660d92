// web_demo_end_frame: the last frame a demo shows, replayed headless, as a
// PGM picture (0 black, 255 white), for the browser test to compare the
// page's canvas with at the demo's end.
//   web_demo_end_frame DEMO OUT.pgm
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "display/surface.h"
#include "game/demo_parser.h"
#include "game/demo_player.h"

namespace {

using namespace rallix;

// A machine without a window: its clock moves only when the loop waits for
// it, sounds return at once, and the last frame presented is kept.
class Headless : public Platform {
 public:
  Surface last_frame;

  int32_t TimeGetTime() override { return now_; }
  bool ProcessMessages() override { return true; }
  bool IsForeground() override { return true; }
  void GetKeyboardState(KeySnapshot& keys) override { keys.fill(0); }
  void PlaySoundAsync(const std::string&) override {}
  void PlaySoundSync(const std::string&) override {}
  void StopSound() override {}
  void Present(const Surface& frame) override { last_frame = frame; }
  void SleepUntil(int32_t deadline) override { now_ = deadline; }
  void ReportFatalError(const std::string& message) override {
    std::fprintf(stderr, "web_demo_end_frame: %s\n", message.c_str());
  }

 private:
  int32_t now_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: web_demo_end_frame DEMO OUT.pgm\n", stderr);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
  const ParsedDemo parsed = ParseDemo(bytes);
  if (!in.is_open() || !parsed.error.empty()) {
    std::fprintf(stderr, "web_demo_end_frame: cannot play %s: %s\n", argv[1],
                 in.is_open() ? parsed.error.c_str() : "it cannot be read");
    return 2;
  }
  Headless machine;
  const Replay replay = PlayDemo(machine, parsed.demo);
  if (replay.end.kind != ReplayEnd::Kind::kFinished) {
    std::fprintf(stderr, "web_demo_end_frame: %s\n", replay.end.message.c_str());
    return 1;
  }
  std::ofstream out(argv[2], std::ios::binary);
  out << "P5\n" << kScreenWidth << ' ' << kScreenHeight << "\n255\n";
  for (int y = 0; y < kScreenHeight; ++y) {
    for (int x = 0; x < kScreenWidth; ++x)
      out.put(machine.last_frame.At(x, y) == kBlack ? '\0' : '\xFF');
  }
  return out.good() ? 0 : 1;
}
