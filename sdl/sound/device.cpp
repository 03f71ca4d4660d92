#include "sdl/sound/device.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <thread>

#include "sdl/sound/decode.h"
#include "sdl/system/quiet_stderr.h"

namespace rallix {
namespace {

// Short enough for a "pon" to follow the stroke, long enough not to starve
// when the machine is busy.
constexpr Uint16 kDeviceSamples = 1024;

}  // namespace

SdlSound::SdlSound() {
  // Without a sound card the game is simply silent: the audio libraries'
  // complaints stay off the terminal.
  QuietStderr quiet;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    return;
  audio_started_ = true;
  SDL_AudioSpec desired{};
  desired.freq = 44100;
  desired.format = AUDIO_S16SYS;
  desired.channels = 2;
  desired.samples = kDeviceSamples;
  desired.callback = &SdlSound::FillCallback;
  desired.userdata = this;
  // The sounds are converted to whatever the device wants, so it may choose.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &desired, &obtained_, SDL_AUDIO_ALLOW_ANY_CHANGE);
  if (device_ == 0)
    return;
  SDL_PauseAudioDevice(device_, 0);
}

SdlSound::~SdlSound() {
  if (device_ != 0)
    SDL_CloseAudioDevice(device_);
  if (audio_started_)
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlSound::PlayAsync(const std::string& file_name) {
  if (device_ == 0)
    return;
  Start(SamplesFor(file_name));
}

bool SdlSound::PlaySync(const std::string& file_name, const std::function<bool()>& stop_waiting) {
  if (device_ == 0)
    return true;
  Samples samples = SamplesFor(file_name);
  if (samples == nullptr) {
    Start(nullptr);
    return true;
  }
  return WaitUntilHeard(Start(std::move(samples)), stop_waiting);
}

void SdlSound::Stop() {
  if (device_ == 0)
    return;
  Start(nullptr);
}

void SdlSound::Prepare(const std::string& file_name) {
  if (device_ != 0)
    SamplesFor(file_name);
}

SdlSound::Samples SdlSound::SamplesFor(const std::string& file_name) {
  const std::optional<SoundFileStamp> stamp = StampSoundFile(file_name);
  const auto known = decoded_.find(file_name);
  if (known != decoded_.end()) {
    if (stamp && known->second.stamp == *stamp)
      return known->second.samples;
    decoded_.erase(known);  // gone or changed: its samples go once they are heard
  }
  if (!stamp)
    return nullptr;
  // A file that cannot be read (no permission, too large) is looked at again
  // at the next play, which costs little.
  Decoded fresh{*stamp, nullptr};
  std::optional<std::vector<uint8_t>> bytes =
      ReadSoundFile(file_name, kMaxSoundFileBytes, &fresh.stamp);
  if (!bytes)
    return nullptr;
  std::optional<std::vector<uint8_t>> samples = DecodeSoundForDevice(std::move(*bytes), obtained_);
  if (samples)
    fresh.samples = std::make_shared<const std::vector<uint8_t>>(std::move(*samples));
  // One that was read but does not play is remembered too, so that it is
  // not read and decoded again at every play while it stays as it is.
  decoded_[file_name] = fresh;
  return fresh.samples;
}

uint64_t SdlSound::Start(Samples samples) {
  SDL_LockAudioDevice(device_);
  playing_.swap(samples);
  position_ = 0;
  const uint64_t id = ++playing_id_;
  SDL_UnlockAudioDevice(device_);
  return id;  // the sound replaced is let go here, outside the lock
}

bool SdlSound::WaitUntilHeard(uint64_t id, const std::function<bool()>& stop_waiting) {
  const auto device_buffer = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double, std::milli>(1000.0 * obtained_.samples / obtained_.freq));
  const Clock::time_point give_up = Clock::now() + kLongestSyncWait;
  Clock::time_point next_look = Clock::now();
  for (;;) {
    SDL_LockAudioDevice(device_);
    const bool handed_out = finished_id_ == id;
    const Clock::time_point finished_at = finished_at_;
    SDL_UnlockAudioDevice(device_);
    const Clock::time_point now = Clock::now();
    if (handed_out ? now >= finished_at + device_buffer
                   : SDL_GetAudioDeviceStatus(device_) != SDL_AUDIO_PLAYING) {
      return true;
    }
    if (now >= give_up) {
      Start({});
      return true;
    }
    if (stop_waiting && now >= next_look) {
      if (stop_waiting())
        return false;
      next_look = now + std::chrono::milliseconds(10);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void SdlSound::FillCallback(void* self, Uint8* stream, int length) {
  static_cast<SdlSound*>(self)->Fill(stream, length);
}

void SdlSound::Fill(Uint8* stream, int length) {
  // SDL holds the device's lock while it calls back.
  const size_t wanted = static_cast<size_t>(std::max(length, 0));
  const size_t size = playing_ != nullptr ? playing_->size() : 0;
  const size_t copied = std::min(size - position_, wanted);
  if (copied > 0)
    std::memcpy(stream, playing_->data() + position_, copied);
  std::memset(stream + copied, obtained_.silence, wanted - copied);
  position_ += copied;
  if (copied > 0 && position_ == size) {
    finished_id_ = playing_id_;
    finished_at_ = Clock::now();
  }
}

}  // namespace rallix
