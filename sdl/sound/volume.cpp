#include "sdl/sound/volume.h"

#include <algorithm>
#include <cstring>

namespace rallix {

int32_t GainOfVolume(int volume) {
  const int32_t percent = std::clamp(volume, 0, 100);
  return (percent * kFullGain + 50) / 100;
}

int16_t Scaled(int16_t sample, int32_t gain) {
  // At most 32768 * 65536 = 2^31 either way: within 32 bits, and back
  // within the sample's range since the gain is at most 1.
  const int64_t product = int64_t{sample} * gain;
  const int64_t half = product >= 0 ? kFullGain / 2 : -kFullGain / 2;
  return static_cast<int16_t>((product + half) / kFullGain);
}

void VolumeRamp::Apply(int16_t* samples, size_t frames, int channels) {
  const size_t width = static_cast<size_t>(std::max(channels, 1));
  size_t frame = 0;
  // The ramp, a step each frame.
  for (; frame < frames && gain_ != target_; ++frame) {
    gain_ = gain_ < target_ ? std::min(target_, gain_ + kGainStepPerFrame)
                            : std::max(target_, gain_ - kGainStepPerFrame);
    for (size_t i = frame * width; i < (frame + 1) * width; ++i)
      samples[i] = Scaled(samples[i], gain_);
  }
  if (frame == frames || gain_ == kFullGain)
    return;
  int16_t* rest = samples + frame * width;
  const size_t count = (frames - frame) * width;
  if (gain_ == 0) {
    std::memset(rest, 0, count * sizeof *rest);
    return;
  }
  for (size_t i = 0; i < count; ++i)
    rest[i] = Scaled(rest[i], gain_);
}

}  // namespace rallix
