#include "libretro/sound_mixer.h"

#include <algorithm>
#include <cstring>

#include "libretro/embedded_sounds.h"

namespace rallix::libretro {
namespace {

uint32_t U32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t U16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

size_t AudioFramesOfRun(uint64_t run) {
  const auto due_by = [](uint64_t runs) { return runs * kOutputRate * kPassMilliseconds / 1000; };
  return static_cast<size_t>(due_by(run + 1) - due_by(run));
}

std::optional<std::vector<int16_t>> DecodeWav(const uint8_t* bytes, size_t size) {
  if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
    return std::nullopt;
  uint16_t channels = 0;
  uint32_t rate = 0;
  bool format_seen = false;
  for (size_t at = 12; at <= size && size - at >= 8;) {
    const uint8_t* chunk = bytes + at;
    const uint32_t length = U32(chunk + 4);
    if (length > size - at - 8)
      return std::nullopt;  // cut short
    if (std::memcmp(chunk, "fmt ", 4) == 0 && length >= 16) {
      const uint16_t format = U16(chunk + 8);
      channels = U16(chunk + 10);
      rate = U32(chunk + 12);
      const uint16_t bits = U16(chunk + 22);
      if (format != 1 || bits != 16 || (channels != 1 && channels != 2) || rate == 0 ||
          rate > kOutputRate || kOutputRate % rate != 0) {
        return std::nullopt;
      }
      format_seen = true;
    } else if (std::memcmp(chunk, "data", 4) == 0 && format_seen) {
      const size_t frames = length / (2u * channels);
      const uint32_t repeat = kOutputRate / rate;
      if (frames == 0 || frames > kLongestSoundFrames / repeat)
        return std::nullopt;
      std::vector<int16_t> out;
      out.reserve(frames * repeat * 2);
      for (size_t frame = 0; frame < frames; ++frame) {
        const uint8_t* sample = chunk + 8 + frame * 2u * channels;
        const auto left = static_cast<int16_t>(U16(sample));
        const auto right = channels == 2 ? static_cast<int16_t>(U16(sample + 2)) : left;
        for (uint32_t r = 0; r < repeat; ++r) {
          out.push_back(left);
          out.push_back(right);
        }
      }
      return out;
    }
    at += 8 + size_t{length} + (length & 1u);  // chunks are padded to even lengths
  }
  return std::nullopt;
}

SoundMixer::SoundMixer() {
  for (size_t i = 0; i < kEmbeddedSoundCount; ++i) {
    const EmbeddedSound& sound = kEmbeddedSounds[i];
    sounds_.push_back(DecodeWav(sound.bytes, sound.size).value_or(std::vector<int16_t>{}));
  }
}

void SoundMixer::Play(const std::string& name) {
  Stop();
  for (size_t i = 0; i < kEmbeddedSoundCount; ++i) {
    if (name == kEmbeddedSounds[i].name && !sounds_[i].empty())
      current_ = static_cast<int>(i);
  }
}

void SoundMixer::Mix(size_t frames, int16_t* out) {
  size_t copied = 0;
  if (current_ >= 0) {
    const std::vector<int16_t>& sound = sounds_[static_cast<size_t>(current_)];
    copied = std::min(frames, sound.size() / 2 - position_);
    std::copy_n(sound.begin() + ptrdiff_t{2} * position_, 2 * copied, out);
    position_ += static_cast<uint32_t>(copied);
    if (position_ == sound.size() / 2)
      Stop();
  }
  std::fill(out + 2 * copied, out + 2 * frames, int16_t{0});
}

uint32_t SoundMixer::Length(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= sounds_.size())
    return 0;
  return static_cast<uint32_t>(sounds_[static_cast<size_t>(index)].size() / 2);
}

void SoundMixer::Restore(int current, uint32_t position) {
  current_ = current;
  position_ = current == -1 ? 0 : position;
}

}  // namespace rallix::libretro
