// The game's sounds on SDL's audio: one sound at a time, mixed into the
// device in SDL's audio callback. Each file is read and converted for the
// device once, when it is prepared or at its first play, and again only when
// it has changed.
#pragma once

#include <SDL.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "sdl/sound/file.h"

namespace rallix {

// The game's sounds last a second or two. A longer one, or a device that
// stalls, holds the game no longer than this.
constexpr std::chrono::milliseconds kLongestSyncWait{3000};

class SdlSound {
 public:
  // Starts SDL's audio and opens the default output device. Without audio the
  // game is silent: every play does nothing and returns at once.
  SdlSound();
  ~SdlSound();
  SdlSound(const SdlSound&) = delete;
  SdlSound& operator=(const SdlSound&) = delete;

  bool HasDevice() const { return device_ != 0; }
  const SDL_AudioSpec& DeviceFormat() const { return obtained_; }

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

 private:
  using Clock = std::chrono::steady_clock;

  static void FillCallback(void* self, Uint8* stream, int length);
  void Fill(Uint8* stream, int length);
  using Samples = std::shared_ptr<const std::vector<uint8_t>>;

  // The file's samples in the device's format, null when it does not play.
  // A glance at the file's stamp tells whether the samples of the last play
  // still hold; only a new or changed file is read and decoded.
  Samples SamplesFor(const std::string& file_name);
  // Puts `samples` in place of the playing sound (null: silence). Returns a
  // number that identifies this sound for WaitUntilHeard.
  uint64_t Start(Samples samples);
  // Sleeps until the sound `id` has been handed to the device whole, then for
  // as long as the device takes to play its buffer out; see PlaySync.
  bool WaitUntilHeard(uint64_t id, const std::function<bool()>& stop_waiting);

  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec obtained_{};
  bool audio_started_ = false;

  struct Decoded {
    SoundFileStamp stamp;
    Samples samples;
  };
  // By the file name the game plays.
  std::map<std::string, Decoded> decoded_;

  // Shared with the audio callback; guarded by the device's lock.
  Samples playing_;
  size_t position_ = 0;
  uint64_t playing_id_ = 0;
  uint64_t finished_id_ = 0;  // the last sound the callback handed out whole
  Clock::time_point finished_at_{};
};

}  // namespace rallix
