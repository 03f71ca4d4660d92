#include "tests/support/scripted_platform.h"

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
}

void ScriptedPlatform::StopSound() {
  sounds.push_back({SoundEvent::Kind::kStop, std::string(), frames_presented});
}

void ScriptedPlatform::Present(const Surface& frame) {
  last_frame = frame;
  if (keep_all_frames)
    frames.push_back(frame);
  ++frames_presented;
}

void ScriptedPlatform::Nap(double milliseconds) {
  napped_ms += milliseconds;
  nap_remainder_ += milliseconds;
  // The clock counts whole milliseconds; carry the fraction to the next nap.
  int32_t whole = static_cast<int32_t>(nap_remainder_);
  if (whole == 0)
    whole = 1;
  nap_remainder_ -= whole;
  if (nap_remainder_ < 0)
    nap_remainder_ = 0;
  now += whole;
}

}  // namespace rallix::testing
