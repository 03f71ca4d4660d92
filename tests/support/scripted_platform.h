// A platform for driving the game headless: the test sets the keys, the
// clock, the focus and the close request, and reads back every sound played
// and every frame presented.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "display/surface.h"
#include "game/platform.h"

namespace rallix::testing {

struct SoundEvent {
  enum class Kind { kAsync, kSync, kStop };
  Kind kind;
  std::string file;  // empty for kStop
  int64_t frame;     // number of frames presented before the call
  friend bool operator==(const SoundEvent& a, const SoundEvent& b) {
    return a.kind == b.kind && a.file == b.file && a.frame == b.frame;
  }
};

// Thrown by a scripted platform whose frame loop would not end; not one of
// the game's run-time errors, so nothing in the game traps it.
struct PassLimitReached : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class ScriptedPlatform : public Platform {
 public:
  // The clock. Each reading returns `now` and then adds `tick_per_read`;
  // SleepUntil moves it on to the deadline. With the defaults a pass lasts
  // 17 ms.
  int32_t now = 1000;
  int32_t tick_per_read = 0;
  // Held keys: the virtual-key codes that are down in every snapshot.
  std::vector<uint8_t> held_keys;
  // Called with the number of snapshots taken so far; overrides held_keys.
  std::function<void(int64_t snapshot, KeySnapshot& keys)> key_script;
  bool foreground = true;
  bool close_requested = false;
  // Called at the start of each message pump, with the pass number.
  std::function<void(int64_t pass)> on_messages;
  // How long a synchronous sound holds the game, in milliseconds.
  int32_t sync_sound_ms = 0;
  // The window is closed during the next synchronous sound: it ends the
  // program (ProgramEnd) as the desktop's does, once it is recorded.
  bool close_in_sync_sound = false;
  // Keep every presented frame (memory: 300 KB each) or just the last.
  bool keep_all_frames = false;
  // A frame loop that runs on past this many passes is a fault: the next
  // message pump throws PassLimitReached, naming the pass and the state.
  int64_t max_passes = 3'000'000;
  // The game's State, when the test knows where it lies, for that message
  // and for the watchdog (tests/support/watchdog.h).
  const int32_t* state = nullptr;

  std::vector<SoundEvent> sounds;
  std::vector<Surface> frames;
  Surface last_frame;
  int64_t frames_presented = 0;
  int64_t snapshots_taken = 0;
  int64_t passes = 0;
  // The deadline of every SleepUntil call, in order.
  std::vector<int32_t> sleep_deadlines;
  std::vector<std::string> fatal_errors;

  void Hold(std::initializer_list<uint8_t> keys) { held_keys = keys; }
  void ReleaseAll() { held_keys.clear(); }
  // The files of the sounds played, without stops.
  std::vector<std::string> SoundFiles() const;

  int32_t TimeGetTime() override;
  bool ProcessMessages() override;
  bool IsForeground() override { return foreground; }
  void GetKeyboardState(KeySnapshot& keys) override;
  void PlaySoundAsync(const std::string& file_name) override;
  void PlaySoundSync(const std::string& file_name) override;
  void StopSound() override;
  void Present(const Surface& frame) override;
  void SleepUntil(int32_t deadline) override;
  void ReportFatalError(const std::string& message) override { fatal_errors.push_back(message); }
};

}  // namespace rallix::testing
