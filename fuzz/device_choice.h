// The audio devices the sound fuzz target converts for, chosen by one byte:
// bits 0-1 the sample format, 2-3 the channels, 4-6 the rate, and bit 7 the
// limit on the converted sound's size: the player's own (64 MB) when set,
// else 1 MB, so that the many inputs whose rate makes them minutes long are
// refused quickly instead of each taking a tenth of a second to convert.
// Byte 0 is the device the game usually gets: 16-bit stereo at 44100 Hz.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>

#include "sdl/sound/decode.h"

namespace rallix::fuzz {

struct DeviceChoice {
  SDL_AudioSpec device{};
  size_t max_bytes = size_t{1} << 20;
};

inline DeviceChoice ChooseDevice(uint8_t byte) {
  constexpr SDL_AudioFormat kFormats[] = {AUDIO_S16SYS, AUDIO_F32SYS, AUDIO_U8, AUDIO_S32SYS};
  constexpr Uint8 kChannels[] = {2, 1, 4, 6};
  constexpr int kRates[] = {44100, 48000, 22050, 11025, 8000, 96000, 32000, 192000};
  DeviceChoice choice;
  choice.device.format = kFormats[byte & 3];
  choice.device.channels = kChannels[(byte >> 2) & 3];
  choice.device.freq = kRates[(byte >> 4) & 7];
  if ((byte & 0x80) != 0)
    choice.max_bytes = kMaxDeviceSoundBytes;
  return choice;
}

}  // namespace rallix::fuzz
