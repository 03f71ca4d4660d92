#include "sdl/sound/device.h"

#include <algorithm>
#include <cstring>

#include "sdl/sound/decode.h"
#include "sdl/system/quiet_stderr.h"

namespace rallix {
namespace {

// Short enough for a "pon" to follow the stroke, long enough not to starve
// when the machine is busy.
constexpr Uint16 kDeviceSamples = 1024;

template <typename Duration>
std::chrono::microseconds Microseconds(Duration duration) {
  return std::chrono::duration_cast<std::chrono::microseconds>(duration);
}

}  // namespace

SdlSound::SdlSound(std::chrono::milliseconds open_through_silence)
    : open_through_silence_(open_through_silence) {
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
  // The sounds are converted to the rate and channels the device wants; the
  // samples stay 16-bit, which the volume scales.
  device_ = Open(desired, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE |
                              SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
  if (device_ == 0)
    return;
  has_device_ = true;
  const char* driver = SDL_GetCurrentAudioDriver();
  rests_ = driver == nullptr || std::strcmp(driver, "disk") != 0;
  quiet_since_ = Clock::now();
  if (rests_)
    keeper_ = std::thread([this] { KeepDevice(); });
}

SdlSound::~SdlSound() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    quit_ = true;
  }
  changed_.notify_all();
  if (keeper_.joinable())
    keeper_.join();
  if (device_ != 0)
    SDL_CloseAudioDevice(device_);
  if (audio_started_)
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

SDL_AudioDeviceID SdlSound::Open(const SDL_AudioSpec& desired, int allowed_changes) {
  SDL_AudioSpec asked = desired;
  asked.callback = &SdlSound::FillCallback;
  asked.userdata = this;
  SDL_AudioSpec obtained{};
  const SDL_AudioDeviceID device =
      SDL_OpenAudioDevice(nullptr, 0, &asked, &obtained, allowed_changes);
  if (device == 0)
    return 0;
  if (obtained_.freq == 0)
    obtained_ = obtained;
  SDL_PauseAudioDevice(device, 0);
  return device;
}

void SdlSound::KeepDevice() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!quit_) {
    if (wanted_ && device_ == 0) {
      // Opened again exactly as first: the decoded samples fit it.
      lock.unlock();
      const Clock::time_point start = Clock::now();
      const SDL_AudioDeviceID device = Open(obtained_, 0);
      const Clock::duration took = Clock::now() - start;
      lock.lock();
      device_ = device;
      wanted_ = false;
      opening_ = DeviceOpening{Microseconds(took), {}};
      if (device == 0) {
        playing_ = nullptr;  // nothing to play it on: silence
        timing_first_samples_ = false;
      }
      quiet_since_ = Clock::now();
      continue;
    }
    const Clock::time_point rest_at = quiet_since_ + open_through_silence_;
    if (device_ != 0 && Silent() && Clock::now() >= rest_at) {
      const SDL_AudioDeviceID device = device_;
      device_ = 0;
      lock.unlock();
      SDL_CloseAudioDevice(device);  // waits for the audio thread to end
      lock.lock();
      continue;
    }
    if (device_ != 0)
      changed_.wait_until(lock, Silent() ? rest_at : Clock::now() + open_through_silence_);
    else
      changed_.wait(lock);
  }
}

bool SdlSound::DeviceOpen() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return device_ != 0;
}

void SdlSound::PlayAsync(const std::string& file_name) {
  if (!has_device_)
    return;
  Start(SamplesFor(file_name));
}

bool SdlSound::PlaySync(const std::string& file_name, const std::function<bool()>& stop_waiting) {
  if (!has_device_)
    return true;
  Samples samples = SamplesFor(file_name);
  if (samples == nullptr) {
    Start(nullptr);
    return true;
  }
  return WaitUntilHeard(Start(std::move(samples)), stop_waiting);
}

void SdlSound::Stop() {
  if (!has_device_)
    return;
  Start(nullptr);
}

void SdlSound::Prepare(const std::string& file_name) {
  if (has_device_)
    SamplesFor(file_name);
}

void SdlSound::SetVolume(int volume, bool muted) {
  const std::lock_guard<std::mutex> lock(mutex_);
  const int32_t gain = muted ? 0 : GainOfVolume(volume);
  // In silence there is nothing to ramp: the next sound starts at its volume.
  if (Silent())
    ramp_ = VolumeRamp(gain);
  else
    ramp_.SetTarget(gain);
}

std::optional<DeviceOpening> SdlSound::LastOpening() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return opening_;
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
  uint64_t id = 0;
  bool ask = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    const bool sound = samples != nullptr;
    playing_.swap(samples);
    position_ = 0;
    id = ++playing_id_;
    quiet_since_ = Clock::now();
    if (sound && device_ == 0 && rests_) {
      ask = !wanted_;
      if (ask) {
        asked_at_ = quiet_since_;
        timing_first_samples_ = true;
      }
      wanted_ = true;
    }
  }
  if (ask)
    changed_.notify_all();
  return id;  // the sound replaced is let go here, outside the lock
}

bool SdlSound::WaitUntilHeard(uint64_t id, const std::function<bool()>& stop_waiting) {
  const auto device_buffer = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double, std::milli>(1000.0 * obtained_.samples / obtained_.freq));
  const Clock::time_point give_up = Clock::now() + kLongestSyncWait;
  Clock::time_point next_look = Clock::now();
  for (;;) {
    std::unique_lock<std::mutex> lock(mutex_);
    const bool handed_out = finished_id_ == id;
    const Clock::time_point finished_at = finished_at_;
    // Nothing will play it: the device could not be opened again.
    const bool unplayable = device_ == 0 && !wanted_;
    lock.unlock();
    const Clock::time_point now = Clock::now();
    if (handed_out ? now >= finished_at + device_buffer : unplayable)
      return true;
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
  const size_t wanted = static_cast<size_t>(std::max(length, 0));
  const std::lock_guard<std::mutex> lock(mutex_);
  const size_t size = playing_ != nullptr ? playing_->size() : 0;
  const size_t copied = std::min(size - position_, wanted);
  if (copied > 0) {
    std::memcpy(stream, playing_->data() + position_, copied);
    if (timing_first_samples_ && opening_) {
      opening_->first_samples = Microseconds(Clock::now() - asked_at_);
      timing_first_samples_ = false;
    }
  }
  std::memset(stream + copied, obtained_.silence, wanted - copied);
  // The device's samples are 16-bit (see the constructor).
  const size_t frame_bytes = 2 * static_cast<size_t>(std::max<Uint8>(obtained_.channels, 1));
  ramp_.Apply(reinterpret_cast<int16_t*>(stream), wanted / frame_bytes, obtained_.channels);
  position_ += copied;
  if (copied > 0 && position_ == size) {
    finished_id_ = playing_id_;
    finished_at_ = Clock::now();
    quiet_since_ = finished_at_;
  }
}

}  // namespace rallix
