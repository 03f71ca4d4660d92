#include "sdl/sound/decode.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace rallix {
namespace {

// Frees what SDL_LoadWAV_RW allocated however decoding ends.
struct WavBuffer {
  Uint8* samples = nullptr;
  Uint32 length = 0;
  ~WavBuffer() { Free(); }
  void Free() {
    SDL_FreeWAV(samples);
    samples = nullptr;
  }
};

// Far above any sound card's rate. SDL's resampler sizes its padding with
// 512 x the sound's rate in int: from 4 MHz on that overflows, and the
// resampler reads outside its buffers.
constexpr int kMaxSoundRate = 1'000'000;

size_t FrameBytes(SDL_AudioFormat format, Uint8 channels) {
  return static_cast<size_t>(SDL_AUDIO_BITSIZE(format) / 8) * channels;
}

uint32_t ReadLittleEndian32(const uint8_t* bytes) {
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void WriteLittleEndian32(uint8_t* bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

// SDL's WAV loader allocates what a chunk's header claims before it reads
// the chunk, so a 100-byte file that claims four gigabytes of samples would
// make it ask for four gigabytes. Every chunk size that runs past the end of
// the bytes is cut to what is there: the loader then finds the same chunks
// and reads the same samples, with allocations bounded by the file's size.
void FitChunkSizesToTheBytes(std::vector<uint8_t>& file) {
  const size_t size = file.size();
  if (size < 12)
    return;
  size_t position = 0;
  if (std::memcmp(file.data(), "RIFF", 4) == 0) {
    const uint32_t there =
        static_cast<uint32_t>(std::min<size_t>(size - 8, std::numeric_limits<uint32_t>::max()));
    if (ReadLittleEndian32(file.data() + 4) > there)
      WriteLittleEndian32(file.data() + 4, there);
    position = 12;  // after "RIFF", its size and "WAVE"
  } else if (std::memcmp(file.data(), "WAVE", 4) == 0) {
    position = 4;  // a file without its RIFF header, which SDL also reads
  } else {
    return;
  }
  while (size - position >= 8) {
    uint8_t* header = file.data() + position;
    const size_t there = size - position - 8;
    const uint32_t claimed = ReadLittleEndian32(header + 4);
    if (claimed > there) {
      WriteLittleEndian32(header + 4, static_cast<uint32_t>(there));
      return;
    }
    // Chunks start on even offsets: an odd-sized chunk has a pad byte.
    const size_t next = position + 8 + claimed + (claimed & 1u);
    if (next > size)
      return;
    position = next;
  }
}

// Float samples belong in [-1, 1]. SDL's conversions are upset by the rest:
// a NaN cast to an integer sample is undefined, and the resampler spreads an
// infinity into NaNs around it. A NaN becomes silence and everything else is
// clipped to full scale, as the device would clip it.
void ClipFloatSamples(uint8_t* bytes, size_t length, SDL_AudioFormat format) {
  if (!SDL_AUDIO_ISFLOAT(format) || SDL_AUDIO_BITSIZE(format) != 32)
    return;
  const bool little_endian = !SDL_AUDIO_ISBIGENDIAN(format);
  for (size_t at = 0; at + 4 <= length; at += 4) {
    float stored = 0;
    std::memcpy(&stored, bytes + at, 4);
    const float sample = little_endian ? SDL_SwapFloatLE(stored) : SDL_SwapFloatBE(stored);
    const float clipped = std::isnan(sample) ? 0.0f : std::clamp(sample, -1.0f, 1.0f);
    if (clipped == sample)
      continue;
    stored = little_endian ? SDL_SwapFloatLE(clipped) : SDL_SwapFloatBE(clipped);
    std::memcpy(bytes + at, &stored, 4);
  }
}

}  // namespace

std::optional<std::vector<uint8_t>> DecodeSoundForDevice(const uint8_t* data, size_t size,
                                                         const SDL_AudioSpec& device,
                                                         size_t max_bytes) {
  if (data == nullptr || size == 0 || size > static_cast<size_t>(std::numeric_limits<int>::max()))
    return std::nullopt;
  return DecodeSoundForDevice(std::vector<uint8_t>(data, data + size), device, max_bytes);
}

std::optional<std::vector<uint8_t>> DecodeSoundForDevice(std::vector<uint8_t> file,
                                                         const SDL_AudioSpec& device,
                                                         size_t max_bytes) {
  if (file.empty() || file.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
    return std::nullopt;
  const size_t device_frame = FrameBytes(device.format, device.channels);
  if (device_frame == 0 || device.freq <= 0 || device.freq > kMaxSoundRate)
    return std::nullopt;

  FitChunkSizesToTheBytes(file);
  SDL_RWops* source = SDL_RWFromConstMem(file.data(), static_cast<int>(file.size()));
  if (source == nullptr)
    return std::nullopt;
  SDL_AudioSpec wav{};
  WavBuffer buffer;
  if (SDL_LoadWAV_RW(source, 1, &wav, &buffer.samples, &buffer.length) == nullptr) {
    buffer.samples = nullptr;
    return std::nullopt;
  }
  std::vector<uint8_t>().swap(file);  // SDL holds the samples now
  const size_t wav_frame = FrameBytes(wav.format, wav.channels);
  if (wav_frame == 0 || wav.freq <= 0 || wav.freq > kMaxSoundRate)
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
  // SDL counts the conversion's buffer in int.
  if (work_bytes > 2 * max_bytes + whole_frames_bytes ||
      work_bytes > static_cast<size_t>(std::numeric_limits<int>::max())) {
    return std::nullopt;
  }
  std::vector<uint8_t> converted(work_bytes);
  std::memcpy(converted.data(), buffer.samples, whole_frames_bytes);
  buffer.Free();
  ClipFloatSamples(converted.data(), whole_frames_bytes, wav.format);
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
  // A step of SDL's conversion that fails (the resampler, when it cannot get
  // its padding) still reports success, and leaves samples of another format
  // behind: loud noise. Those come out at another length.
  const size_t whole_device_frames = converted.size() / device_frame;
  const double got_frames = static_cast<double>(whole_device_frames);
  if (std::abs(got_frames - expected_frames) > 2.0 + expected_frames / 1000.0)
    return std::nullopt;
  const size_t got = converted.size();
  converted.resize(got - got % device_frame);
  if (converted.empty())
    return std::nullopt;
  return converted;
}

}  // namespace rallix
