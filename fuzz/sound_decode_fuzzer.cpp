// libFuzzer target for the path every sound file takes before it is heard:
// the WAV loader and the conversion to the audio device's format.
//
// The input's first byte chooses the device (format, channels, rate, and a
// small size limit); the rest is the file. See device_choice.h.
#include <cstdint>
#include <cstdlib>

#include "fuzz/device_choice.h"
#include "sdl/sound/decode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0)
    return 0;
  const rallix::fuzz::DeviceChoice choice = rallix::fuzz::ChooseDevice(data[0]);
  const auto samples =
      rallix::DecodeSoundForDevice(data + 1, size - 1, choice.device, choice.max_bytes);
  if (!samples)
    return 0;
  // What the player is promised: some whole device frames, within the limit.
  const size_t frame =
      static_cast<size_t>(SDL_AUDIO_BITSIZE(choice.device.format) / 8) * choice.device.channels;
  if (samples->empty() || samples->size() % frame != 0 || samples->size() > choice.max_bytes)
    std::abort();
  return 0;
}
