// rallix_launcher: the real game in its SDL window, started in a prepared
// state, or with run-time errors raised on chosen calls of the platform.
// Closing the window ends it as it ends the game; it then says on stdout in
// which state the game was closed.
#include <cstdio>
#include <exception>
#include <string>

#include "base/run_time_error.h"
#include "game/form_main.h"
#include "game/main_loop.h"
#include "game/mod_main.h"
#include "sdl/app/run_game.h"
#include "tests/e2e/programs/faulty_platform.h"
#include "tests/e2e/programs/launch_setups.h"

namespace rallix::e2e {
namespace {

constexpr int kTrouble = 2;

int Usage() {
  std::fputs(
      "usage: rallix_launcher [SETUP] [--background] [--fail-snapshots N,...]\n"
      "                       [--fail-presents N,...]\n"
      "  Runs the game in its window. With SETUP the game starts prepared as it\n"
      "  names and prints 'closed in state S after P passes' when it is closed;\n"
      "  without, it runs as the shipped program. --fail-snapshots and\n"
      "  --fail-presents raise a run-time error on those calls (1 is the first)\n"
      "  of the keyboard snapshot and of the frame's presentation. With\n"
      "  --background the game never finds its window in the foreground: nothing\n"
      "  moves, and a state that lasts one frame stays.\n"
      "setups:\n",
      stderr);
  for (const LaunchSetup& setup : LaunchSetups())
    std::fprintf(stderr, "  %-10s %s\n", setup.name.c_str(), setup.description.c_str());
  return kTrouble;
}

// The shipped program's Main, with the game prepared before the loop starts.
int RunPrepared(const std::string& setup, FaultyPlatform& platform) {
  try {
    FormMain form(platform);
    PrepareSetup(setup, form);
    MainLoop loop(form, platform);
    loop.Run();
    std::printf("closed in state %d after %lld passes\n", static_cast<int>(form.Record.State),
                static_cast<long long>(platform.Passes()));
    std::fflush(stdout);
    return 0;
  } catch (const std::exception& error) {
    platform.ReportFatalError(error.what());
    return 1;
  }
}

}  // namespace
}  // namespace rallix::e2e

int main(int argc, char** argv) {
  using namespace rallix::e2e;
  std::string setup;
  FaultPlan plan;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--background") {
      plan.background = true;
    } else if (arg == "--fail-snapshots" && i + 1 < argc) {
      if (!ParseCallNumbers(argv[++i], plan.failing_snapshots))
        return Usage();
    } else if (arg == "--fail-presents" && i + 1 < argc) {
      if (!ParseCallNumbers(argv[++i], plan.failing_presentations))
        return Usage();
    } else if (setup.empty() && arg.rfind("--", 0) != 0) {
      setup = arg;
    } else {
      return Usage();
    }
  }
  bool known = setup.empty();
  for (const LaunchSetup& candidate : LaunchSetups())
    known = known || candidate.name == setup;
  if (!known)
    return Usage();
  return rallix::RunOnSdl([&](rallix::SdlPlatform& sdl) {
    FaultyPlatform platform(sdl, plan);
    if (setup.empty())
      return rallix::Main(platform);
    return RunPrepared(setup, platform);
  });
}
