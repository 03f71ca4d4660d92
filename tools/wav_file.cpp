#include "tools/wav_file.h"

#include <limits>
#include <stdexcept>

#include "tools/byte_writer.h"

namespace rallix::art {

std::vector<uint8_t> EncodeMonoWav(const std::vector<int16_t>& samples, uint32_t sample_rate) {
  constexpr uint16_t kChannels = 1;
  constexpr uint16_t kBitsPerSample = 16;
  constexpr uint16_t kBlockAlign = kChannels * kBitsPerSample / 8;
  if (samples.size() > (std::numeric_limits<uint32_t>::max() - 36) / kBlockAlign) {
    throw std::length_error("too many samples for one WAVE file");
  }
  const uint32_t data_bytes = static_cast<uint32_t>(samples.size()) * kBlockAlign;

  ByteWriter out;
  out.Bytes("RIFF");
  out.U32(36 + data_bytes);
  out.Bytes("WAVE");
  out.Bytes("fmt ");
  out.U32(16);  // size of the PCM format block
  out.U16(1);   // PCM
  out.U16(kChannels);
  out.U32(sample_rate);
  out.U32(sample_rate * kBlockAlign);
  out.U16(kBlockAlign);
  out.U16(kBitsPerSample);
  out.Bytes("data");
  out.U32(data_bytes);
  for (int16_t sample : samples)
    out.S16(sample);
  return out.Take();
}

}  // namespace rallix::art
