// Runs the game in its real window for a while and prints how it paced its
// frames and what it cost: frame periods, processor use, peak memory, the
// time from the process's start to the first frame on screen, and how long
// the frame stood still in each background sound play (a hit or a bounce).
// The sounds are those of the working directory.
//
// Usage: window_probe [seconds] [launch-time-ns] [title|rally|soak|screenshots] [options]
//   seconds         how long to run after the first frame (default 10)
//   launch-time-ns  CLOCK_REALTIME in nanoseconds when the process was
//                   launched (`date +%s%N` just before); without it the time
//                   to the first frame is counted from main().
//   title|rally|soak|screenshots
//                   stay on the title screen (default); start a game, once
//                   the sound device has closed in the title's silence (or
//                   after 5 s), and keep a rally going with a simple steering
//                   player, printing how late the first sound was; take the
//                   keys from the X server (scripts/soak-window.sh presses
//                   them) and sample the memory every ten seconds; or stay on
//                   the title and press F12 once a second, printing the frame
//                   periods around the presses and what the pictures cost.
//   options         the game's own: --scale N, --fullscreen, --screenshot-dir
//                   DIR (the settings file is neither read nor written)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bench/process_usage.h"
#include "game/forwarding_platform.h"
#include "game/main_loop.h"
#include "game/mod_main.h"
#include "sdl/app/command_line.h"
#include "sdl/app/player_choices.h"
#include "sdl/app/run_game.h"

namespace rallix {
namespace {

using Clock = std::chrono::steady_clock;

// The SDL platform with a stopwatch on every Present, that closes the window
// once the run has lasted long enough after the first frame.
class RecordingPlatform : public ForwardingPlatform {
 public:
  RecordingPlatform(Platform& inner, double seconds)
      : ForwardingPlatform(inner), seconds_(seconds) {}

  bool ProcessMessages() override {
    if (f12_left_ > 0 && !presents_.empty() &&
        Clock::now() - presents_.front() >= std::chrono::seconds(1 + f12_presses_.size())) {
      SDL_Event event{};
      event.type = SDL_KEYDOWN;
      event.key.windowID = SDL_GetWindowID(f12_window_);
      event.key.state = SDL_PRESSED;
      event.key.keysym.scancode = SDL_SCANCODE_F12;
      SDL_PushEvent(&event);
      f12_presses_.push_back(Clock::now());
      --f12_left_;
    }
    if (!Inner().ProcessMessages())
      return false;
    if (presents_.empty())
      return true;
    const double running = std::chrono::duration<double>(Clock::now() - presents_.front()).count();
    if (running >= 10.0 * static_cast<double>(memory_samples_.size() + 1))
      memory_samples_.push_back(ResidentMegabytes());
    time_up_ = running >= seconds_;
    return !time_up_;
  }
  void GetKeyboardState(KeySnapshot& keys) override {
    Inner().GetKeyboardState(keys);
    if (player_ != nullptr)
      Steer(*player_, keys);
  }
  // From now on the keys come from a steering player that reads the record,
  // which starts a game once `ready` says so.
  void PlayWith(const GameRecord& record, std::function<bool()> ready) {
    player_ = &record;
    ready_ = std::move(ready);
  }
  // Presses F12 in the window once a second from the first frame on, up to
  // `count` times.
  void PressF12(SDL_Window* window, int count) {
    f12_window_ = window;
    f12_left_ = count;
  }
  void PlaySoundAsync(const std::string& file_name) override {
    const Clock::time_point start = Clock::now();
    Inner().PlaySoundAsync(file_name);
    async_plays_[file_name].push_back(
        std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  void Present(const Surface& frame) override {
    Inner().Present(frame);
    presents_.push_back(Clock::now());
    if (presents_.size() == 1) {
      first_present_wall_ = std::chrono::system_clock::now();
      cpu_at_first_present_ = CpuSeconds();
    }
  }

  const std::vector<Clock::time_point>& Presents() const { return presents_; }
  const std::vector<Clock::time_point>& F12Presses() const { return f12_presses_; }
  // How long each background play of each sound took, in ms, in order.
  const std::map<std::string, std::vector<double>>& AsyncPlays() const { return async_plays_; }
  // The resident memory every ten seconds from the first frame on, in MB.
  const std::vector<double>& MemorySamples() const { return memory_samples_; }
  bool TimeUp() const { return time_up_; }

  // Space on "GAME START" and on every screen that waits for it; in a rally,
  // the paddle's middle follows the ball.
  void Steer(const GameRecord& r, KeySnapshot& keys) {
    ++snapshots_;
    const bool space_frame = snapshots_ % 8 < 4;
    if (r.State == kStateTitle && !started_)
      started_ = snapshots_ > 30 && (!ready_ || ready_());
    if (r.State == kStateTitle || r.State == kStateGameEnd || r.State == kStatePlayerPoint) {
      if (space_frame && started_)
        keys[kVkSpace] = kKeyDownBit;
      return;
    }
    if (r.State != kStateRally)
      return;
    const int width = r.PlayerPaddles(r.PlayerPaddleKind).Width;
    const double middle = 16.0 * r.PlayerX + 8.0 * width;
    if (middle > r.BallX + 8)
      keys[kVkLeft] = kKeyDownBit;
    else if (middle < r.BallX - 8)
      keys[kVkRight] = kKeyDownBit;
  }
  std::chrono::system_clock::time_point FirstPresentWall() const { return first_present_wall_; }
  double CpuAtFirstPresent() const { return cpu_at_first_present_; }

 private:
  double seconds_;
  std::vector<Clock::time_point> presents_;
  std::chrono::system_clock::time_point first_present_wall_{};
  double cpu_at_first_present_ = 0;
  std::vector<double> memory_samples_;
  std::map<std::string, std::vector<double>> async_plays_;
  bool time_up_ = false;
  const GameRecord* player_ = nullptr;
  std::function<bool()> ready_;
  bool started_ = false;
  int64_t snapshots_ = 0;
  SDL_Window* f12_window_ = nullptr;
  int f12_left_ = 0;
  std::vector<Clock::time_point> f12_presses_;
};

double Percentile(std::vector<double> values, double share) {
  if (values.empty())
    return 0;
  std::sort(values.begin(), values.end());
  const size_t index = std::min(values.size() - 1, static_cast<size_t>(share * values.size()));
  return values[index];
}

void PrintFigures(const RecordingPlatform& recorder, Clock::time_point main_entered,
                  std::chrono::system_clock::time_point launched) {
  const std::vector<Clock::time_point>& presents = recorder.Presents();
  std::vector<double> periods;
  for (size_t i = 1; i < presents.size(); ++i) {
    periods.push_back(
        std::chrono::duration<double, std::milli>(presents[i] - presents[i - 1]).count());
  }
  const double wall = std::chrono::duration<double>(Clock::now() - main_entered).count();
  const double cpu = CpuSeconds();
  const double running =
      presents.empty() ? 0 : std::chrono::duration<double>(Clock::now() - presents.front()).count();
  const double to_first_ms =
      presents.empty()
          ? -1
          : std::chrono::duration<double, std::milli>(recorder.FirstPresentWall() - launched)
                .count();

  std::printf("frames presented:            %zu\n", presents.size());
  std::printf("frame period median:         %.2f ms (target 17)\n", Percentile(periods, 0.5));
  std::printf("frame period p99:            %.2f ms (target <= 18)\n", Percentile(periods, 0.99));
  std::printf("frame period max:            %.2f ms\n", Percentile(periods, 1.0));
  std::printf("cpu use:                     %.2f %% of one core over %.1f s (target < 3)\n",
              100.0 * cpu / wall, wall);
  if (running > 0) {
    std::printf("cpu use from the first frame: %.2f %% of one core over %.1f s\n",
                100.0 * (cpu - recorder.CpuAtFirstPresent()) / running, running);
  }
  std::printf("peak rss:                    %.1f MB (target < 40)\n", PeakResidentMegabytes());
  std::printf("start to first frame:        %.1f ms (target < 150)\n", to_first_ms);
  for (const auto& [name, plays] : recorder.AsyncPlays()) {
    const std::vector<double> later(plays.begin() + 1, plays.end());
    std::printf(
        "stall per play of %-11s %zu plays, first %.3f ms, then median %.3f ms, "
        "max %.3f ms\n",
        name.c_str(), plays.size(), plays.front(), Percentile(later, 0.5), Percentile(later, 1.0));
  }
  // The frames around each F12: the periods that end within 250 ms of a press.
  if (!recorder.F12Presses().empty()) {
    std::vector<double> around;
    for (size_t i = 1; i < presents.size(); ++i) {
      for (const Clock::time_point press : recorder.F12Presses()) {
        if (presents[i] >= press && presents[i] - press <= std::chrono::milliseconds(250)) {
          around.push_back(periods[i - 1]);
          break;
        }
      }
    }
    std::printf("F12 presses:                 %zu\n", recorder.F12Presses().size());
    std::printf("frame period p99 near F12:   %.2f ms (max %.2f ms, %zu periods within 250 ms)\n",
                Percentile(around, 0.99), Percentile(around, 1.0), around.size());
  }
  // How the periods spread, by whole milliseconds.
  std::map<int, int> spread;
  for (double period : periods)
    ++spread[static_cast<int>(period)];
  std::printf("frame periods by ms:        ");
  for (const auto& [ms, count] : spread)
    std::printf(" %d:%d", ms, count);
  std::printf("\n");
}

}  // namespace
}  // namespace rallix

int main(int argc, char** argv) {
  using namespace rallix;
  const Clock::time_point main_entered = Clock::now();
  std::chrono::system_clock::time_point launched = std::chrono::system_clock::now();
  const double seconds = argc > 1 ? std::atof(argv[1]) : 10.0;
  if (argc > 2) {
    launched = std::chrono::system_clock::time_point(
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::nanoseconds(std::strtoll(argv[2], nullptr, 10))));
  }
  const std::string mode = argc > 3 ? argv[3] : "title";
  const ParsedCommandLine options = ParseCommandLine(
      std::vector<std::string>(argv + std::min(argc, 4), argv + std::max(argc, 4)));
  if (const std::optional<int> status = AnswerWithoutPlaying(options))
    return *status;
  const PlayerChoices choices = ChoicesFor(options.options, nullptr);
  return RunOnSdl(choices, [&](SdlPlatform& platform) {
    RecordingPlatform recorder(platform, seconds > 0 ? seconds : 10.0);
    int status = 0;
    if (mode == "rally") {
      FormMain form(recorder);
      // The first sound once the device has closed for the title's silence.
      Clock::time_point rested_at{};
      const Clock::time_point began = Clock::now();
      recorder.PlayWith(form.Record, [&] {
        if (!platform.Sound().DeviceOpen() && rested_at == Clock::time_point{})
          rested_at = Clock::now();
        return rested_at != Clock::time_point{} || Clock::now() - began > std::chrono::seconds(5);
      });
      MainLoop(form, recorder).Run();
      std::printf("screen:                      a game with a steering player (stage %d)\n",
                  form.Record.Stage);
      if (rested_at != Clock::time_point{}) {
        std::printf("sound device closed:         %.1f s into the title's silence\n",
                    std::chrono::duration<double>(rested_at - began).count());
      }
      if (const std::optional<DeviceOpening> opening = platform.Sound().LastOpening()) {
        std::printf(
            "first sound after the rest:  device opened in %.1f ms, its first samples "
            "%.1f ms after the call\n",
            opening->open.count() / 1000.0, opening->first_samples.count() / 1000.0);
      }
    } else if (mode == "screenshots") {
      recorder.PressF12(platform.Window(), 10);
      status = Main(recorder);
      platform.FinishWriting();
      const Screenshots::Timing took = platform.TakenScreenshots().Took();
      std::printf("screen:                      the title, F12 once a second\n");
      std::printf(
          "screenshots written:         %ld, encoded and written in %.2f ms each on "
          "average, %.2f ms at most, off the frame's path\n",
          took.count, took.count > 0 ? took.total.count() / 1000.0 / took.count : 0.0,
          took.longest.count() / 1000.0);
    } else if (mode == "soak") {
      FormMain form(recorder);
      MainLoop loop(form, recorder);
      loop.Run();
      std::printf("screen:                      keys from the X server\n");
      std::printf("ended by:                    %s\n",
                  recorder.TimeUp() ? "the time limit" : "the game (QUIT GAME or closed)");
      std::printf("run-time errors trapped:     %d\n", loop.TrapSpent() ? 1 : 0);
      std::printf("memory every 10 s (MB):     ");
      for (double megabytes : recorder.MemorySamples())
        std::printf(" %.1f", megabytes);
      std::printf("\n");
    } else {
      status = Main(recorder);
      std::printf("screen:                      the title\n");
    }
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(platform.Window(), &width, &height);
    const PicturePlace place = platform.Presenter().Place();
    std::printf("picture:                     %dx at (%d, %d) in %d x %d\n", place.scale, place.x,
                place.y, width, height);
    PrintFigures(recorder, main_entered, launched);
    return status;
  });
}
