// Turning a WAV file's bytes into samples the audio device plays as they are.
#pragma once

#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace rallix {

// Far above any of the game's sounds (about six minutes of CD-quality
// stereo); a sound that would convert to more is refused.
constexpr size_t kMaxDeviceSoundBytes = size_t{64} << 20;

// Decodes the WAV file in `data` and converts it to the format, channels and
// rate of `device`. Nothing when the bytes are not a playable WAV file, hold
// no sample, or would convert to more than `max_bytes`. Needs no audio device
// and no SDL initialisation.
std::optional<std::vector<uint8_t>> DecodeSoundForDevice(const uint8_t* data, size_t size,
                                                         const SDL_AudioSpec& device,
                                                         size_t max_bytes = kMaxDeviceSoundBytes);

// The same for the WAV file in `file`, which it uses up: the file's bytes go
// as soon as SDL has read them, so that no more than two copies of a large
// sound are held at once while it is decoded.
std::optional<std::vector<uint8_t>> DecodeSoundForDevice(std::vector<uint8_t> file,
                                                         const SDL_AudioSpec& device,
                                                         size_t max_bytes = kMaxDeviceSoundBytes);

}  // namespace rallix
