// The core's speaker: the four embedded sounds at the core's one output rate,
// one sound at a time (a new one cuts the old off), handed to the frontend a
// run's worth of frames at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/main_loop.h"

namespace rallix::libretro {

// The output: 44100 stereo frames of signed 16-bit samples a second.
constexpr uint32_t kOutputRate = 44100;
// The most audio frames a run, one pass of the frame loop, hands over:
// 44100 x 17 / 1000 is 749.7.
constexpr size_t kMostAudioFramesOfRun = (size_t{kOutputRate} * kPassMilliseconds + 999) / 1000;
// A sound longer than this (a minute) is refused rather than held whole.
constexpr uint32_t kLongestSoundFrames = 60 * kOutputRate;

// The audio frames handed over in run `run` (from 0): the frames due by the
// run's end less those due by its start, so that the first n runs hand over
// floor(n x 44100 x 17 / 1000) frames in all, exactly the rate times the
// time. 749 or 750 frames each.
size_t AudioFramesOfRun(uint64_t run);

// A WAV file's samples as stereo frames at kOutputRate, each channel of a mono
// file alike. Only 16-bit PCM of one or two channels at a rate that divides
// 44100 (11025, 22050, 44100) is read; each sample is repeated 44100 / rate
// times. Nothing when the bytes are not such a file or hold no sample.
std::optional<std::vector<int16_t>> DecodeWav(const uint8_t* bytes, size_t size);

class SoundMixer {
 public:
  // Decodes the embedded sounds; one that does not decode plays nothing.
  SoundMixer();

  // Starts the named sound from its beginning in place of the playing one;
  // an unknown or unplayable name leaves silence.
  void Play(const std::string& name);
  void Stop() {
    current_ = -1;
    position_ = 0;
  }
  bool Playing() const { return current_ >= 0; }

  // The next `frames` frames (2 x frames samples) into `out`: what is left of
  // the playing sound, then silence. A sound played to its end stops.
  void Mix(size_t frames, int16_t* out);

  // What a save state keeps: the playing sound (its index in
  // kEmbeddedSounds, or -1) and the frames of it already handed over (0
  // when none plays).
  int Current() const { return current_; }
  uint32_t Position() const { return position_; }
  void Restore(int current, uint32_t position);
  // The frames of the sound of that index (0 when it does not play).
  uint32_t Length(int index) const;

 private:
  std::vector<std::vector<int16_t>> sounds_;  // stereo frames, by index
  int current_ = -1;
  uint32_t position_ = 0;
};

}  // namespace rallix::libretro
