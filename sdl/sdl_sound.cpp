#include "sdl/sdl_sound.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <thread>

#include "sdl/sdl_quiet_stderr.h"
#include "sdl/sdl_sound_decode.h"
#include "sdl/sdl_sound_file.h"

namespace rallix {
namespace {

// Short enough for a "pon" to follow the stroke, long enough not to starve
// when the machine is busy.
constexpr Uint16 kDeviceSamples = 1024;

std::optional<std::vector<uint8_t>> LoadForDevice(const std::string& file_name,
                                                  const SDL_AudioSpec& device) {
  const std::optional<std::vector<uint8_t>> bytes = ReadSoundFile(file_name);
  if (!bytes)
    return std::nullopt;
  return DecodeSoundForDevice(bytes->data(), bytes->size(), device);
}

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
  std::optional<std::vector<uint8_t>> samples = LoadForDevice(file_name, obtained_);
  Start(samples ? std::move(*samples) : std::vector<uint8_t>());
}

bool SdlSound::PlaySync(const std::string& file_name, const std::function<bool()>& stop_waiting) {
  if (device_ == 0)
    return true;
  std::optional<std::vector<uint8_t>> samples = LoadForDevice(file_name, obtained_);
  if (!samples) {
    Start({});
    return true;
  }
  return WaitUntilHeard(Start(std::move(*samples)), stop_waiting);
}

void SdlSound::Stop() {
  if (device_ == 0)
    return;
  Start({});
}

uint64_t SdlSound::Start(std::vector<uint8_t> samples) {
  SDL_LockAudioDevice(device_);
  playing_.swap(samples);
  position_ = 0;
  const uint64_t id = ++playing_id_;
  SDL_UnlockAudioDevice(device_);
  return id;  // the sound replaced is freed here, outside the lock
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
  const size_t left = playing_.size() - position_;
  const size_t copied = std::min(left, wanted);
  if (copied > 0)
    std::memcpy(stream, playing_.data() + position_, copied);
  std::memset(stream + copied, obtained_.silence, wanted - copied);
  position_ += copied;
  if (copied > 0 && position_ == playing_.size()) {
    finished_id_ = playing_id_;
    finished_at_ = Clock::now();
  }
}

}  // namespace rallix
