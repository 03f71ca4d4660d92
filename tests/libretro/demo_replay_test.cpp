// The committed demos replayed through the libretro core, run by run, with
// their key readings and play clock fed in by a demo's player between the
// game and the core's machine: each shows the frames `rallix --timedemo`
// showed (tests/data/demos/expected.txt), the core being the fourth platform
// on which they replay alike (the ARM tests run this case under qemu-user).
// They show the same again when after every run the state is saved and the
// run before's and this run's are loaded back, as rewind and run-ahead do:
// every state a game reaches is taken, and a state saved again gives the
// same bytes. A state loaded while a sound holds the game shows its own
// frames at once.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "demo/frame_digest.h"
#include "demo/parser.h"
#include "demo/player.h"
#include "libretro/retro_core.h"

namespace rallix::libretro {
namespace {

const std::string kFolder = std::string(RALLIX_SOURCE_DIR) + "/tests/data/demos/";

// The demo's player, digesting every frame the game presents.
class DigestingPlayer : public DemoPlayer {
 public:
  using DemoPlayer::DemoPlayer;
  void Present(const Surface& frame) override {
    digest.Add(frame);
    DemoPlayer::Present(frame);
  }
  FrameDigest digest;
};

// A core replaying the demo.
struct Replay {
  Replay(const Demo& demo)
      : core(frontend, [&](Platform& machine) {
          auto made = std::make_unique<DigestingPlayer>(machine, demo);
          player = made.get();
          return made;
        }) {}

  std::string Line(const std::string& file) {
    EXPECT_EQ(player->Finish().kind, ReplayEnd::Kind::kFinished)
        << file << ": " << player->Finish().message;
    char line[200];
    std::snprintf(line, sizeof line, "%s: %lld passes, score %ld, high score %ld, digest %016llX",
                  file.c_str(), static_cast<long long>(player->Passes()),
                  static_cast<long>(core.Form().Record.Score),
                  static_cast<long>(core.Form().Record.HiScore),
                  static_cast<unsigned long long>(player->digest.Value()));
    return line;
  }

  const Frontend frontend;
  DigestingPlayer* player = nullptr;
  RetroCore core;
};

// The committed demo `file`.
Demo DemoOf(const std::string& file) {
  std::ifstream in(kFolder + file, std::ios::binary);
  const ParsedDemo parsed =
      ParseDemo(std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {}));
  EXPECT_EQ(parsed.error, "") << file;
  return parsed.demo;
}

// The demo's line as the core replays it; with `reload`, then the line of a
// second core whose state is saved and loaded back after every run, which
// must show the same frames at every run.
std::vector<std::string> ReplayLines(const std::string& file, bool reload) {
  const Demo demo = DemoOf(file);
  Replay plain(demo);
  std::optional<Replay> reloading;
  if (reload)
    reloading.emplace(demo);
  std::vector<uint8_t> before;
  std::vector<uint8_t> now(RetroCore::StateSize());
  std::vector<uint8_t> again(now.size());
  while (!plain.core.Ended() && plain.core.Runs() < 100000) {
    plain.core.Run();
    if (!reloading)
      continue;
    RetroCore& core = reloading->core;
    core.Run();
    if (!(core.Shown() == plain.core.Shown())) {
      ADD_FAILURE() << file << ": run " << core.Runs() << " shows another frame";
      break;
    }
    if (core.Ended())
      continue;
    const bool alike = core.Save(now.data(), now.size()) &&
                       (before.empty() || core.Load(before.data(), before.size())) &&
                       core.Load(now.data(), now.size()) && core.Save(again.data(), again.size()) &&
                       again == now;
    if (!alike) {
      ADD_FAILURE() << file << ": the state after run " << core.Runs() << " did not come back";
      break;
    }
    before = now;
  }
  std::vector<std::string> lines{plain.Line(file)};
  if (reloading)
    lines.push_back(reloading->Line(file));
  return lines;
}

// expected.txt's lines, one a demo.
std::vector<std::string> ExpectedLines() {
  std::ifstream expected(kFolder + "expected.txt");
  std::vector<std::string> lines;
  for (std::string line; std::getline(expected, line);) {
    if (!line.empty() && line[0] != '#')
      lines.push_back(line);
  }
  EXPECT_EQ(lines.size(), 3U);
  return lines;
}

std::string FileOf(const std::string& line) {
  return line.substr(0, line.find(':'));
}

TEST(CoreDemoReplay, EachCommittedDemoShowsWhatItShowedWhenItWasRecorded) {
  for (const std::string& line : ExpectedLines())
    EXPECT_EQ(ReplayLines(FileOf(line), false), std::vector<std::string>{line});
}

TEST(CoreDemoReplay, EachShowsTheSameWhileItsStateIsSavedAndLoadedBackAfterEveryRun) {
  for (const std::string& line : ExpectedLines())
    EXPECT_EQ(ReplayLines(FileOf(line), true), (std::vector<std::string>{line, line}));
}

// A state loaded while a sound holds the game, its next frame waiting,
// shows its own frames from the next run: nothing of the held frame stays.
// The core held in play against one held through a state it loaded.
TEST(CoreDemoReplay, AStateLoadedWhileASoundHoldsTheGameShowsItsOwnFrames) {
  const std::string file = FileOf(ExpectedLines()[0]);
  const Demo demo = DemoOf(file);
  // The state and the count of passes after each run; the first hold's
  // runs pass no pass.
  std::vector<std::vector<uint8_t>> after(1);
  std::vector<int64_t> passes{0};
  Replay plain(demo);
  while (!plain.core.Ended()) {
    plain.core.Run();
    after.emplace_back(RetroCore::StateSize());
    ASSERT_TRUE(plain.core.Ended() || plain.core.Save(after.back().data(), after.back().size()));
    passes.push_back(plain.core.Passes());
  }
  size_t held = 1;
  while (held + 1 < passes.size() && passes[held + 1] != passes[held])
    ++held;
  size_t heard = held + 1;
  while (heard + 1 < passes.size() && passes[heard + 1] == passes[held])
    ++heard;
  ASSERT_LT(heard + 1, passes.size()) << file << " has no sound that holds the game";
  std::vector<std::unique_ptr<Replay>> cores;
  for (bool through_state : {false, true}) {
    cores.push_back(std::make_unique<Replay>(demo));
    RetroCore& core = cores.back()->core;
    while (core.Runs() < held)
      core.Run();
    if (through_state) {
      ASSERT_TRUE(core.Load(after[held].data(), after[held].size()));
    }
    ASSERT_TRUE(core.Load(after[heard].data(), after[heard].size()));
    core.Run();
  }
  EXPECT_TRUE(cores[0]->core.Shown() == cores[1]->core.Shown());
}

}  // namespace
}  // namespace rallix::libretro
