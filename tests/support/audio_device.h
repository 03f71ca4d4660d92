// An audio device as SDL_OpenAudioDevice would report it, for the sound tests
// that convert sounds for one.
#pragma once

#include <SDL.h>

namespace rallix::testing {

inline SDL_AudioSpec AudioDevice(int freq, SDL_AudioFormat format, Uint8 channels) {
  SDL_AudioSpec device{};
  device.freq = freq;
  device.format = format;
  device.channels = channels;
  return device;
}

}  // namespace rallix::testing
