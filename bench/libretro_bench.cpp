// What one retro_run of the libretro core costs: the committed champion's
// game (tests/data/demos/champion_config.demo, 21297 passes of menus and
// rallies) replayed through the core run by run, each run timed on its own,
// the frontend's callbacks taking the frame and the audio as RetroArch's
// would. The figures to watch are the median and the 99th percentile of a
// run against the 17 ms a run stands for.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "demo/parser.h"
#include "demo/player.h"
#include "libretro/retro_core.h"

namespace rallix::libretro {
namespace {

void TakeFrame(const void*, unsigned, unsigned, size_t) {}
size_t TakeAudio(const int16_t*, size_t frames) {
  return frames;
}

const Demo& ChampionDemo() {
  static const Demo demo = [] {
    std::ifstream in(std::string(RALLIX_SOURCE_DIR) + "/tests/data/demos/champion_config.demo",
                     std::ios::binary);
    return ParseDemo(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {})).demo;
  }();
  return demo;
}

void BM_RetroRunThroughAChampionsGame(benchmark::State& state) {
  const Demo& demo = ChampionDemo();
  Frontend frontend;
  frontend.video = TakeFrame;
  frontend.audio = TakeAudio;
  std::vector<double> microseconds;
  for (auto _ : state) {
    RetroCore core(frontend,
                   [&](Platform& machine) { return std::make_unique<DemoPlayer>(machine, demo); });
    while (!core.Ended()) {
      const auto start = std::chrono::steady_clock::now();
      core.Run();
      microseconds.push_back(
          std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
              .count());
    }
  }
  std::sort(microseconds.begin(), microseconds.end());
  state.counters["runs"] = static_cast<double>(microseconds.size());
  state.counters["median_us"] = microseconds[microseconds.size() / 2];
  state.counters["p99_us"] = microseconds[microseconds.size() * 99 / 100];
  state.counters["max_us"] = microseconds.back();
}
BENCHMARK(BM_RetroRunThroughAChampionsGame)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace rallix::libretro
