// What a frame costs the compositor: a rally frame (28 queued paddle cells and
// the ball over the court) and a full render of the grid into the background.
#include <benchmark/benchmark.h>

#include "game/form_main.h"
#include "tests/support/scripted_platform.h"

namespace rallix {
namespace {

// Presents nothing, so the figures are the compositor's own work.
class NoPresentPlatform : public testing::ScriptedPlatform {
 public:
  void Present(const Surface&) override { ++frames_presented; }
};

// The paddles as a rally prints them every frame: blank at the old column,
// shape at the new one, widest paddles for both sides (2 x (7 + 7) = 28 cells).
void QueueRallyFrame(FormMain& form) {
  form.Locate(7, 23);
  form.PrintNow("       ");
  form.Locate(8, 23);
  form.PrintNow("---+---");
  form.Locate(5, 1);
  form.PrintNow("       ");
  form.Locate(6, 1);
  form.PrintNow("-------");
  form.PutSprite("O", 123, 200);
}

void BM_RenderRallyFrame(benchmark::State& state) {
  NoPresentPlatform platform;
  FormMain form(platform);
  form.DrawCourt();
  form.RedrawBackground();
  for (auto _ : state) {
    QueueRallyFrame(form);
    form.RenderFrame();
    benchmark::DoNotOptimize(form.Pictures.PictureMain.Row(0));
  }
  state.counters["cells"] = 28;
  state.counters["sprites"] = 1;
}
BENCHMARK(BM_RenderRallyFrame)->Unit(benchmark::kMicrosecond);

void FillGrid(FormMain& form, const char* line) {
  for (int row = 0; row < kGridRows; ++row) {
    form.Locate(0, row);
    form.PrintText(line);
  }
}

// Every one of the 1200 cells changes between two redraws: all are copied.
void BM_RedrawBackgroundFullGrid(benchmark::State& state) {
  NoPresentPlatform platform;
  FormMain form(platform);
  bool flip = false;
  for (auto _ : state) {
    FillGrid(form, flip ? "RALLIX 0123456789 ABCDEFGHIJKLMNOPQRSTU|"
                        : "|UTSRQPONMLKJIHGFEDCBA 9876543210 XILLAR");
    flip = !flip;
    form.RedrawBackground();
    benchmark::DoNotOptimize(form.Pictures.PictureBackGround.Row(0));
  }
  state.counters["cells"] = kGridColumns * kGridRows;
}
BENCHMARK(BM_RedrawBackgroundFullGrid)->Unit(benchmark::kMicrosecond);

// The menus redraw an unchanged grid every frame.
void BM_RedrawBackgroundUnchangedGrid(benchmark::State& state) {
  NoPresentPlatform platform;
  FormMain form(platform);
  FillGrid(form, "RALLIX 0123456789 ABCDEFGHIJKLMNOPQRSTU|");
  form.RedrawBackground();
  for (auto _ : state) {
    form.RedrawBackground();
    benchmark::DoNotOptimize(form.Pictures.PictureBackGround.Row(0));
  }
  state.counters["cells"] = kGridColumns * kGridRows;
}
BENCHMARK(BM_RedrawBackgroundUnchangedGrid)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace rallix
