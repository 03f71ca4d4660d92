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
  ++frames_presented;
}

namespace {

// Runs the game loaded in `form` on `platform` through `recorder`, whose
// sink is the recording's.
void RecordRun(DigestingPlatform& platform, DemoRecorder& recorder, FormMain& form,
               Recording& recording) {
  recording.status = RunLoadedGame(form, recorder);
  recorder.Finish();
  recording.digest = platform.digest.Value();
  recording.passes = platform.passes;
  recording.score = form.Record.Score;
  recording.hi_score = form.Record.HiScore;
}

// The window is closed during the next synchronous sound once two have played.
void CloseInTheThirdSyncSound(ScriptedPlatform& platform) {
  platform.close_in_sync_sound =
      std::count_if(platform.sounds.begin(), platform.sounds.end(), [](const SoundEvent& sound) {
        return sound.kind == SoundEvent::Kind::kSync;
      }) >= 2;
}

}  // namespace

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
    CloseInTheThirdSyncSound(platform);
    platform.close_requested = pass >= 5000;
  };
  RecordRun(platform, recorder, form, recording);
  return recording;
}

Recording RecordChampionGame(bool long_game) {
  DigestingPlatform keyboard;
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
  RecordRun(keyboard, recorder, form, recording);
  return recording;
}

Recording RecordLostGame() {
  DigestingPlatform keyboard;
  Recording recording;
  DemoRecorder recorder(keyboard, recording.sink);
  FormMain form(recorder);
  // Space on every other snapshot, and back on the title Down, Down and
  // Space: "QUIT GAME".
  Autopilot pilot;
  bool played = false;
  keyboard.key_script = [&form, &pilot, &played, quit_keys = size_t{0}, press = false](
                            int64_t, KeySnapshot& keys) mutable {
    const GameRecord& r = form.Record;
    if (r.State == kStateRally) {
      played = true;
      if (r.PlayerPoints < 2)
        pilot.Steer(r, keys);
      return;
    }
    press = !press;
    if (!press)
      return;
    if (played && r.State == kStateTitle)
      keys[quit_keys++ < 2 ? kVkDown : kVkSpace] = kKeyDownBit;
    else
      keys[kVkSpace] = kKeyDownBit;
  };
  keyboard.on_messages = [&keyboard](int64_t pass) { keyboard.close_requested = pass >= 100'000; };
  RecordRun(keyboard, recorder, form, recording);
  return recording;
}

Recording RecordFocusGame() {
  DigestingPlatform keyboard;
  Recording recording;
  DemoRecorder recorder(keyboard, recording.sink);
  FormMain form(recorder);
  Autopilot pilot;
  // "GAME START" once the title has been back in front for ten passes.
  keyboard.key_script = [&form, &pilot, &keyboard, press = false](int64_t,
                                                                  KeySnapshot& keys) mutable {
    if (form.Record.State == kStateRally) {
      pilot.Steer(form.Record, keys);
      return;
    }
    press = !press;
    if (press && keyboard.passes > 70)
      keys[kVkSpace] = kKeyDownBit;
  };
  // Away on the title from pass 20 to 59; in the 150th pass of play for 45
  // passes; and at the player's first point for 30.
  int64_t back_at = 60;
  int64_t rally_passes = 0;
  bool scored = false;
  keyboard.on_messages = [&](int64_t pass) {
    const int32_t state = form.Record.State;
    if (pass >= back_at && state == kStateRally && ++rally_passes == 150)
      back_at = pass + 45;
    if (pass >= back_at && state == kStatePlayerPoint && !scored) {
      scored = true;
      back_at = pass + 30;
    }
    keyboard.foreground = pass < 20 || pass >= back_at;
    CloseInTheThirdSyncSound(keyboard);
    keyboard.close_requested = pass >= 100'000;
  };
  RecordRun(keyboard, recorder, form, recording);
  return recording;
}

}  // namespace rallix::testing
