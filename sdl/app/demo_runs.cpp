#include "sdl/app/demo_runs.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>

#include "base/printable_text.h"
#include "demo/format.h"
#include "demo/parser.h"
#include "demo/player.h"
#include "demo/recorder.h"
#include "demo/timed_replay.h"
#include "sdl/app/run_game.h"
#include "sdl/demo/file.h"

namespace rallix {
namespace {

constexpr int kRefused = 2;

void SayLine(const std::string& line) {
  std::fprintf(stderr, "rallix: %s\n", line.c_str());
  std::fflush(stderr);
}

// The demo in `path`, or nothing after a line that says why it is refused.
std::optional<Demo> LoadDemo(const std::string& path) {
  const DemoFileBytes file = ReadDemoFile(path, kMostDemoBytes);
  if (!file.error.empty()) {
    SayLine("cannot read the demo " + PrintableText(path) + ": " + file.error);
    return std::nullopt;
  }
  ParsedDemo parsed = ParseDemo(file.bytes);
  if (!parsed.error.empty()) {
    SayLine("cannot play " + PrintableText(path) + ": " + parsed.error);
    return std::nullopt;
  }
  return std::move(parsed.demo);
}

// The exit status after a replay: the game's own, unless the replay and the
// demo went different ways.
int ReplayStatus(int status, const ReplayEnd& end) {
  return end.kind == ReplayEnd::Kind::kOutOfStep ? 1 : status;
}

}  // namespace

int RecordOnSdl(const PlayerChoices& choices, const std::string& path) {
  DemoFileSink sink(path, SayLine);
  if (!sink.Open())
    return 1;
  const int status =
      RunOnSdl(choices, [&sink](SdlPlatform& platform) { return RecordGame(platform, sink); });
  return sink.Error().empty() ? status : 1;
}

int PlayDemoOnSdl(const PlayerChoices& choices, const std::string& path) {
  const std::optional<Demo> demo = LoadDemo(path);
  if (!demo)
    return kRefused;
  return RunOnSdl(choices, [&demo](SdlPlatform& platform) {
    const Replay replay = PlayDemo(platform, *demo);
    if (replay.end.kind != ReplayEnd::Kind::kFinished)
      SayLine(replay.end.message);
    return ReplayStatus(replay.status, replay.end);
  });
}

int TimeDemo(const std::string& path) {
  const std::optional<Demo> demo = LoadDemo(path);
  if (!demo)
    return kRefused;
  const auto start = std::chrono::steady_clock::now();
  const TimedReplay replay = RunTimedReplay(*demo);
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  const bool printed = std::printf("%s\n", TimedReplayLine(replay, took.count()).c_str()) > 0 &&
                       std::fflush(stdout) == 0;
  const std::string why_not = printed ? "" : std::strerror(errno);
  if (!replay.error.empty())
    SayLine(replay.error);
  if (!printed) {
    SayLine("cannot write the timed replay's line: " + why_not);
    return 1;
  }
  return ReplayStatus(replay.status, replay.end);
}

}  // namespace rallix
