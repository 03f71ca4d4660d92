// The volume the player hears: every sample the device gets, times a gain
// from 0 to 1. A new volume is reached in a short ramp, never in one step,
// so that a change or a mute is heard without a click; and since the gain is
// never above 1, no sample grows past what the sound holds.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rallix {

// The gain, in 65536ths: 65536 leaves a sample as it is.
constexpr int32_t kFullGain = 65536;
// A ramp moves the gain by this much a frame at most: from silent to full
// in 512 frames, 12 ms at 44100 Hz.
constexpr int32_t kGainStepPerFrame = kFullGain / 512;

// The gain of a volume from 0 to 100, a share of the full amplitude:
// 50 halves every sample. Volumes beyond are taken as 0 or 100.
int32_t GainOfVolume(int volume);

// One sample times the gain, to the nearest whole number (a half away from
// zero): 1000 at 32768 is 500, -1001 is -501.
int16_t Scaled(int16_t sample, int32_t gain);

class VolumeRamp {
 public:
  explicit VolumeRamp(int32_t gain = kFullGain) : gain_(gain), target_(gain) {}

  // The gain to move to from the next frame on.
  void SetTarget(int32_t gain) { target_ = gain; }
  // Scales `frames` frames of `channels` interleaved 16-bit samples in
  // place, each frame at the gain of its moment of the ramp (every sample of
  // a frame alike). At the full gain, still, the samples stay as they are.
  void Apply(int16_t* samples, size_t frames, int channels);

  int32_t Gain() const { return gain_; }

 private:
  int32_t gain_;
  int32_t target_;
};

}  // namespace rallix
