// The game's sounds on SDL's audio: one sound at a time, mixed into the
// device in SDL's audio callback at the player's volume. Each file is read
// and converted for the device once, when it is prepared or at its first
// play, and again only when it has changed.
//
// The device is open only while there is something to hear: it closes after
// a few seconds of silence, so that the audio thread does not wake every
// buffer on a quiet title screen, and opens again for the next sound, off
// the game's thread (opening and closing take tens of milliseconds). SDL's
// disk driver stays open: it writes what is played to a file that every
// opening starts anew.
#pragma once

#include <SDL.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sdl/sound/file.h"
#include "sdl/sound/volume.h"

namespace rallix {

// The game's sounds last a second or two. A longer one, or a device that
// stalls, holds the game no longer than this.
constexpr std::chrono::milliseconds kLongestSyncWait{3000};
// How long the device stays open once all is silent.
constexpr std::chrono::milliseconds kOpenThroughSilence{4000};

// How the last opening of the device went, for anyone who measures it: how
// long SDL took to open it, and how long after the call that asked for it
// the sound's first samples went to the device.
struct DeviceOpening {
  std::chrono::microseconds open{0};
  std::chrono::microseconds first_samples{0};
};

class SdlSound {
 public:
  // Starts SDL's audio and opens the default output device, which chooses
  // the rate and the channels (the samples are 16-bit: SDL converts them
  // for a device that wants others). Without audio the game is silent: every
  // play does nothing and returns at once. The device closes after
  // `open_through_silence` without a sound.
  explicit SdlSound(std::chrono::milliseconds open_through_silence = kOpenThroughSilence);
  ~SdlSound();
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  // Whether there is a device to play on, open now or not.
  bool HasDevice() const { return has_device_; }
  const SDL_AudioSpec& DeviceFormat() const { return obtained_; }
  // Whether the device is open now.
  bool DeviceOpen();

  // Starts the sound of the file and returns at once. It replaces the sound
  // that is playing; a file that cannot be played leaves silence.
  void PlayAsync(const std::string& file_name);
  // Plays the sound of the file to its end: returns when its last sample has
  // left the device, or after kLongestSyncWait at most, cutting off what is
  // left of a longer sound. `stop_waiting`, asked every few milliseconds
  // while it waits, ends the wait at once when it says so (the sound plays
  // on); PlaySync then returns false. A file that cannot be played stops the
  // playing sound and returns at once.
  bool PlaySync(const std::string& file_name, const std::function<bool()>& stop_waiting = {});
  // Silences the playing sound at once.
  void Stop();
  // Reads and converts the file's sound now, so that its first play costs
  // no more than the later ones.
  void Prepare(const std::string& file_name);

  // The volume from 0 to 100 (the share of the full amplitude) and whether
  // the sound is muted; the sound playing follows within a few
  // milliseconds, in a ramp.
  void SetVolume(int volume, bool muted);

  // The last opening for a sound since the program started (not the first,
  // which only learns the device's format); nothing before one.
  std::optional<DeviceOpening> LastOpening();

 private:
  using Clock = std::chrono::steady_clock;
  using Samples = std::shared_ptr<const std::vector<uint8_t>>;

  static void FillCallback(void* self, Uint8* stream, int length);
  void Fill(Uint8* stream, int length);

  // The file's samples in the device's format, null when it does not play.
  // A glance at the file's stamp tells whether the samples of the last play
  // still hold; only a new or changed file is read and decoded.
  Samples SamplesFor(const std::string& file_name);
  // Puts `samples` in place of the playing sound (null: silence), asking for
  // the device when it is closed. Returns a number that identifies this
  // sound for WaitUntilHeard.
  uint64_t Start(Samples samples);
  // Sleeps until the sound `id` has been handed to the device whole, then for
  // as long as the device takes to play its buffer out; see PlaySync.
  bool WaitUntilHeard(uint64_t id, const std::function<bool()>& stop_waiting);
  // Opens the device with `desired`; 0 when it cannot be had.
  SDL_AudioDeviceID Open(const SDL_AudioSpec& desired, int allowed_changes);
  // The thread that opens the device when a sound wants it and closes it
  // after the silence.
  void KeepDevice();
  bool Silent() const { return playing_ == nullptr || position_ >= playing_->size(); }

  bool audio_started_ = false;
  bool has_device_ = false;
  bool rests_ = true;  // the device closes in silence
  SDL_AudioSpec obtained_{};
  std::chrono::milliseconds open_through_silence_;

  struct Decoded {
    SoundFileStamp stamp;
    Samples samples;
  };
  // By the file name the game plays.
  std::map<std::string, Decoded> decoded_;

  // Shared with the audio callback and the keeper thread, under `mutex_`.
  std::mutex mutex_;
  std::condition_variable changed_;
  SDL_AudioDeviceID device_ = 0;  // 0 while closed
  bool wanted_ = false;           // a sound waits for the device to open
  bool quit_ = false;
  Samples playing_;
  size_t position_ = 0;
  uint64_t playing_id_ = 0;
  uint64_t finished_id_ = 0;  // the last sound the callback handed out whole
  Clock::time_point finished_at_{};
  Clock::time_point quiet_since_{};
  VolumeRamp ramp_;
  Clock::time_point asked_at_{};  // when a sound asked for the device
  bool timing_first_samples_ = false;
  std::optional<DeviceOpening> opening_;
  std::thread keeper_;
};

}  // namespace rallix
