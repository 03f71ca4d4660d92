// WAV files made in memory for the sound tests, and the devices they are
// converted for.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

namespace rallix::e2e {

// An audio device as SDL_OpenAudioDevice would report it.
inline SDL_AudioSpec AudioDevice(int freq, SDL_AudioFormat format, Uint8 channels) {
  SDL_AudioSpec device{};
  device.freq = freq;
  device.format = format;
  device.channels = channels;
  return device;
}

inline void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A PCM WAV file of `frames` frames whose every sample is `sample` (for 8-bit
// files its low byte, unsigned as WAV stores it).
inline std::vector<uint8_t> MakeWav(int rate, int channels, int bits, uint32_t frames, int sample) {
  const uint32_t block = static_cast<uint32_t>(channels * bits / 8);
  const uint32_t data_bytes = frames * block;
  std::vector<uint8_t> out;
  for (char c : std::string("RIFF"))
    out.push_back(static_cast<uint8_t>(c));
  PutLittleEndian(out, 36 + data_bytes, 4);
  for (char c : std::string("WAVEfmt "))
    out.push_back(static_cast<uint8_t>(c));
  PutLittleEndian(out, 16, 4);
  PutLittleEndian(out, 1, 2);  // PCM
  PutLittleEndian(out, static_cast<uint32_t>(channels), 2);
  PutLittleEndian(out, static_cast<uint32_t>(rate), 4);
  PutLittleEndian(out, static_cast<uint32_t>(rate) * block, 4);
  PutLittleEndian(out, block, 2);
  PutLittleEndian(out, static_cast<uint32_t>(bits), 2);
  for (char c : std::string("data"))
    out.push_back(static_cast<uint8_t>(c));
  PutLittleEndian(out, data_bytes, 4);
  for (uint32_t i = 0; i < frames * static_cast<uint32_t>(channels); ++i) {
    PutLittleEndian(out, static_cast<uint32_t>(sample), bits / 8);
  }
  return out;
}

}  // namespace rallix::e2e
