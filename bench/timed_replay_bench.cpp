// What a timed replay costs: a long game an autopilot wins to "YOU ARE
// CHAMPION" (SET COUNT 10, BALL SPEED 4), recorded once and replayed
// headless with every frame digested. The figure to watch is passes per
// second; a champion's game of tens of thousands of passes must take well
// under a second.
#include <benchmark/benchmark.h>

#include "demo/parser.h"
#include "demo/timed_replay.h"
#include "tests/support/demo_recordings.h"

namespace rallix {
namespace {

const Demo& ChampionDemo() {
  static const Demo demo = ParseDemo(testing::RecordChampionGame(true).sink.bytes).demo;
  return demo;
}

void BM_TimedReplayOfAChampionsGame(benchmark::State& state) {
  const Demo& demo = ChampionDemo();
  int64_t passes = 0;
  TimedReplay replay;
  for (auto _ : state) {
    replay = RunTimedReplay(demo);
    benchmark::DoNotOptimize(replay.digest);
    passes += replay.passes;
  }
  state.counters["passes"] = static_cast<double>(replay.passes);
  state.counters["score"] = replay.score;
  state.counters["passes/s"] =
      benchmark::Counter(static_cast<double>(passes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_TimedReplayOfAChampionsGame)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace rallix
