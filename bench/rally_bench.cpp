// What a rally frame costs: the rally's handler alone, and the handler with
// the frame's render (the budget is 50 microseconds for both together). The
// player holds Left or Right in turn and the ball is served again whenever a
// point ends, so the paddles move, the ball is struck and bounces.
#include <benchmark/benchmark.h>

#include "game/form_main.h"
#include "tests/support/scripted_platform.h"

namespace rallix {
namespace {

// Presents nothing, so the figures are the game's own work.
class NoPresentPlatform : public testing::ScriptedPlatform {
 public:
  void Present(const Surface&) override { ++frames_presented; }
};

class RallyGame {
 public:
  RallyGame() : form_(platform_) {
    form_.NewGame();
    form_.ServeBall();
  }

  // Keys for this frame, and a new serve once a point has ended.
  void Prepare(int64_t frame) {
    if (form_.Record.State != kStateRally) {
      form_.Record.ComPoints = 0;
      platform_.now += 17;
      form_.ServeBall();
    }
    if (frame % 40 == 0)
      platform_.Hold({kVkLeft});
    if (frame % 40 == 20)
      platform_.Hold({kVkRight});
    platform_.sounds.clear();
  }

  FormMain& form() { return form_; }

 private:
  NoPresentPlatform platform_;
  FormMain form_;
};

void BM_RallyFrame(benchmark::State& state) {
  RallyGame game;
  int64_t frame = 0;
  for (auto _ : state) {
    game.Prepare(frame++);
    game.form().PlayRally();
    game.form().Record.Screen.EmptyQueues();
    benchmark::DoNotOptimize(game.form().Record.BallX);
  }
}
BENCHMARK(BM_RallyFrame)->Unit(benchmark::kMicrosecond);

void BM_RallyFrameAndRender(benchmark::State& state) {
  RallyGame game;
  int64_t frame = 0;
  for (auto _ : state) {
    game.Prepare(frame++);
    game.form().PlayRally();
    game.form().RenderFrame();
    benchmark::DoNotOptimize(game.form().Pictures.PictureMain.Row(0));
  }
}
BENCHMARK(BM_RallyFrameAndRender)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rallix
