#include "app/sdl_sound_decode.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace rallix {
namespace {

// Frees what SDL_LoadWAV_RW allocated however decoding ends.
struct WavBuffer {
  Uint8* samples = nullptr;
  Uint32 length = 0;
  ~WavBuffer() { SDL_FreeWAV(samples); }
};

size_t FrameBytes(SDL_AudioFormat format, Uint8 channels) {
  return static_cast<size_t>(SDL_AUDIO_BITSIZE(format) / 8) * channels;
}

}  // namespace

std::optional<std::vector<uint8_t>> DecodeSoundForDevice(const uint8_t* data, size_t size,
                                                         const SDL_AudioSpec& device,
                                                         size_t max_bytes) {
  if (data == nullptr || size == 0 || size > static_cast<size_t>(std::numeric_limits<int>::max()))
    return std::nullopt;
  const size_t device_frame = FrameBytes(device.format, device.channels);
  if (device_frame == 0 || device.freq <= 0)
    return std::nullopt;

  SDL_RWops* source = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (source == nullptr)
    return std::nullopt;
  SDL_AudioSpec wav{};
  WavBuffer buffer;
  if (SDL_LoadWAV_RW(source, 1, &wav, &buffer.samples, &buffer.length) == nullptr) {
    buffer.samples = nullptr;
    return std::nullopt;
  }
  const size_t wav_frame = FrameBytes(wav.format, wav.channels);
  if (wav_frame == 0 || wav.freq <= 0)
    return std::nullopt;
  const size_t wav_frames = buffer.length / wav_frame;
  if (wav_frames == 0)
    return std::nullopt;

  // Refuse before converting: the result may be many times the file's size.
  const double expected_frames = static_cast<double>(wav_frames) * device.freq / wav.freq;
  if (expected_frames * static_cast<double>(device_frame) > static_cast<double>(max_bytes))
    return std::nullopt;

  // SDL_AudioCVT converts the whole sound in one buffer (SDL 2's
  // SDL_AudioStream drops samples when it is fed large pieces).
  SDL_AudioCVT cvt;
  if (SDL_BuildAudioCVT(&cvt, wav.format, wav.channels, wav.freq, device.format, device.channels,
                        device.freq) < 0) {
    return std::nullopt;
  }
  const size_t whole_frames_bytes = wav_frames * wav_frame;
  const size_t work_bytes = whole_frames_bytes * static_cast<size_t>(std::max(cvt.len_mult, 1));
  if (work_bytes > 2 * max_bytes + whole_frames_bytes)
    return std::nullopt;
  std::vector<uint8_t> converted(work_bytes);
  std::memcpy(converted.data(), buffer.samples, whole_frames_bytes);
  if (cvt.needed != 0) {
    cvt.buf = converted.data();
    cvt.len = static_cast<int>(whole_frames_bytes);
    if (SDL_ConvertAudio(&cvt) != 0 || cvt.len_cvt <= 0)
      return std::nullopt;
    converted.resize(static_cast<size_t>(cvt.len_cvt));
  } else {
    converted.resize(whole_frames_bytes);
  }
  if (converted.size() > max_bytes)
    return std::nullopt;
  const size_t got = converted.size();
  converted.resize(got - got % device_frame);
  if (converted.empty())
    return std::nullopt;
  return converted;
}

}  // namespace rallix
