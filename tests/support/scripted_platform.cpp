#include "tests/support/scripted_platform.h"

#include "base/run_time_error.h"
#include "tests/support/watchdog.h"

namespace rallix::testing {

std::vector<std::string> ScriptedPlatform::SoundFiles() const {
  std::vector<std::string> files;
  for (const SoundEvent& event : sounds) {
    if (event.kind != SoundEvent::Kind::kStop)
      files.push_back(event.file);
  }
  return files;
}

int32_t ScriptedPlatform::TimeGetTime() {
  int32_t reading = now;
  now += tick_per_read;
  return reading;
}

bool ScriptedPlatform::ProcessMessages() {
  // Counted first, so a pump that throws still counts as a pass.
  const int64_t pass = passes++;
  const int32_t current_state = state != nullptr ? *state : 0;
  NoteFrameLoopPass(pass, current_state);
  if (pass >= max_passes) {
    throw PassLimitReached("the frame loop ran " + std::to_string(max_passes) +
                           " passes without ending (state " + std::to_string(current_state) +
                           "): a test's limit");
  }
  if (on_messages)
    on_messages(pass);
  return !close_requested;
}

void ScriptedPlatform::GetKeyboardState(KeySnapshot& keys) {
  keys.fill(0);
  if (key_script) {
    key_script(snapshots_taken, keys);
  } else {
    for (uint8_t key : held_keys)
      keys[key] = kKeyDownBit;
  }
  ++snapshots_taken;
}

void ScriptedPlatform::PlaySoundAsync(const std::string& file_name) {
  sounds.push_back({SoundEvent::Kind::kAsync, file_name, frames_presented});
}

void ScriptedPlatform::PlaySoundSync(const std::string& file_name) {
  sounds.push_back({SoundEvent::Kind::kSync, file_name, frames_presented});
  now += sync_sound_ms;
  if (close_in_sync_sound)
    throw ProgramEnd{};
}

void ScriptedPlatform::StopSound() {
  sounds.push_back({SoundEvent::Kind::kStop, std::string(), frames_presented});
}

void ScriptedPlatform::Present(const Surface& frame) {
  last_frame = frame;
  if (keep_all_frames) {
    // 300 KB each: a few thousand is all any test looks at.
    if (frames.size() >= 5000)
      throw PassLimitReached("more than 5000 frames kept: a test's limit");
    frames.push_back(frame);
  }
  ++frames_presented;
}

void ScriptedPlatform::SleepUntil(int32_t deadline) {
  sleep_deadlines.push_back(deadline);
  if (static_cast<int32_t>(static_cast<uint32_t>(deadline) - static_cast<uint32_t>(now)) > 0)
    now = deadline;
}

}  // namespace rallix::testing
