#include "tests/support/demo_recordings.h"

#include <algorithm>

#include "game/form_main.h"
#include "game/mod_main.h"
#include "tests/support/autopilot.h"

namespace rallix::testing {

void BytesSink::Append(const std::vector<uint8_t>& piece) {
  bytes.insert(bytes.end(), piece.begin(), piece.end());
  piece_ends.push_back(bytes.size());
}

void DigestingPlatform::Present(const Surface& frame) {
  digest.Add(frame);
  ScriptedPlatform::Present(frame);
}

Recording RecordScriptedGame() {
  DigestingPlatform platform;
  Recording recording;
  DemoRecorder recorder(platform, recording.sink);
  FormMain form(recorder);
  // In a rally the paddle follows the ball, a column or two behind.
  platform.key_script = [&form, &platform](int64_t, KeySnapshot& keys) {
    const GameRecord& r = form.Record;
    for (const uint8_t key : platform.held_keys)
      keys[key] = kKeyDownBit;
    if (r.State != kStateRally)
      return;
    const double paddle_middle = 16 * (r.PlayerX + 1.5);
    if (r.BallX < paddle_middle - 24)
      keys[kVkLeft] = kKeyDownBit;
    if (r.BallX > paddle_middle + 24)
      keys[kVkRight] = kKeyDownBit;
  };
  platform.on_messages = [&platform](int64_t pass) {
    platform.foreground = pass < 100 || pass >= 130;
    if (pass == 10)
      platform.Hold({kVkSpace});  // "GAME START"
    if (pass == 12)
      platform.ReleaseAll();
    const auto sync_sounds = std::count_if(
        platform.sounds.begin(), platform.sounds.end(),
        [](const SoundEvent& sound) { return sound.kind == SoundEvent::Kind::kSync; });
    platform.close_in_sync_sound = sync_sounds >= 2;
    platform.close_requested = pass >= 5000;
  };
  recording.status = RunLoadedGame(form, recorder);
  recorder.Finish();
  recording.digest = platform.digest.Value();
  recording.passes = platform.passes;
  return recording;
}

Recording RecordChampionGame(bool long_game) {
  ScriptedPlatform keyboard;
  Recording recording;
  DemoRecorder recorder(keyboard, recording.sink);
  FormMain form(recorder);
  // The keys for the menus, pressed on every other snapshot (Space once they
  // are used up, so every screen that waits for it sees a fresh press); in a
  // rally the autopilot plays. The long game first sets SET COUNT 10 and
  // BALL SPEED 4 in "CONFIG", and its autopilot does not aim.
  std::vector<uint8_t> menu_keys;
  if (long_game) {
    menu_keys = {kVkDown, kVkSpace, kVkSpace, kVkSpace, kVkSpace, kVkSpace, kVkSpace,
                 kVkDown, kVkDown,  kVkSpace, kVkDown,  kVkDown,  kVkDown,  kVkSpace};
  }
  Autopilot pilot(!long_game);
  keyboard.key_script = [&form, &pilot, menu_keys, next = size_t{0}, press = false](
                            int64_t, KeySnapshot& keys) mutable {
    if (form.Record.State == kStateRally) {
      pilot.Steer(form.Record, keys);
      return;
    }
    press = !press;
    if (press)
      keys[next < menu_keys.size() ? menu_keys[next++] : kVkSpace] = kKeyDownBit;
  };
  bool played = false;
  keyboard.on_messages = [&](int64_t pass) {
    played = played || form.Record.State == kStateRally;
    keyboard.close_requested = (played && form.Record.State == kStateTitle) || pass >= 2'000'000;
  };
  recording.status = RunLoadedGame(form, recorder);
  recorder.Finish();
  recording.passes = keyboard.passes;
  return recording;
}

}  // namespace rallix::testing
