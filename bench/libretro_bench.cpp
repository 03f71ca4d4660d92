// What the libretro core's runs and save states cost: the committed
// champion's game (tests/data/demos/champion_config.demo, 21297 passes of
// menus and rallies) replayed through the core run by run, the frontend's
// callbacks taking the frame and the audio as RetroArch's would. After each
// run the state is saved, then the state of the run before and this run's
// are loaded, as rewind and run-ahead load a state a frame or two away; each
// call is timed on its own. The figures to watch: the median and the 99th
// percentile of a run against the 17 ms a run stands for, and a save plus a
// load against one run. `make bench` runs the first 2000 runs of it again
// under callgrind for each call's instructions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
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

// Times each call of `call` in microseconds into `times`.
template <typename F>
void Time(std::vector<double>& times, F&& call) {
  const auto start = std::chrono::steady_clock::now();
  call();
  times.push_back(
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
}

// range(0): the runs to go to, or the whole game when 0.
void BM_RetroRunSaveAndLoadThroughAChampionsGame(benchmark::State& state) {
  const Demo& demo = ChampionDemo();
  Frontend frontend;
  frontend.video = TakeFrame;
  frontend.audio = TakeAudio;
  std::map<std::string, std::vector<double>> times;
  std::vector<uint8_t> before;
  std::vector<uint8_t> now(RetroCore::StateSize());
  bool all_taken = true;
  for (auto _ : state) {
    RetroCore core(frontend,
                   [&](Platform& machine) { return std::make_unique<DemoPlayer>(machine, demo); });
    while (state.range(0) == 0 || core.Runs() < uint64_t(state.range(0))) {
      Time(times["run"], [&] { core.Run(); });
      if (core.Ended())
        break;  // "QUIT GAME": an ended game is not saved
      Time(times["save"], [&] { all_taken = core.Save(now.data(), now.size()) && all_taken; });
      for (const std::vector<uint8_t>* state_bytes : {&before, &now}) {
        if (!state_bytes->empty()) {
          Time(times["load"], [&] {
            all_taken = core.Load(state_bytes->data(), state_bytes->size()) && all_taken;
          });
        }
      }
      before = now;
    }
  }
  if (!all_taken)
    state.SkipWithError("a state was not saved or not loaded");
  state.counters["state_bytes"] = static_cast<double>(RetroCore::StateSize());
  for (auto& [name, all] : times) {
    std::sort(all.begin(), all.end());
    state.counters[name + "_count"] = static_cast<double>(all.size());
    state.counters[name + "_median_us"] = all[all.size() / 2];
    state.counters[name + "_p99_us"] = all[all.size() * 99 / 100];
  }
}
BENCHMARK(BM_RetroRunSaveAndLoadThroughAChampionsGame)
    ->Arg(0)
    ->Arg(2000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
}  // namespace rallix::libretro
