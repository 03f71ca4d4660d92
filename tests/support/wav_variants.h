// Sound files of every kind the game may find under a sound's name, made in
// memory: the formats SDL decodes, ones it cannot, and broken files. The
// sound tests play them and the sound loader's fuzz target starts from them.
// The one maker of WAV files for the tests.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rallix::testing {

// The fields of a WAV file's fmt chunk.
struct WavFormat {
  uint16_t tag = 1;  // 1 PCM, 2 MS-ADPCM, 3 float, 0x31 GSM, 0x55 MP3, 0xFFFE extensible
  uint16_t channels = 1;
  uint32_t rate = 44100;
  uint16_t bits = 16;
  uint16_t block_align = 0;        // 0: channels x bits / 8
  std::vector<uint8_t> extension;  // when not empty, written after its cbSize field
};

// A RIFF WAVE file: the fmt chunk, then a data chunk holding `data`. The
// sizes in the RIFF and data headers are the true ones unless given.
std::vector<uint8_t> WavFile(const WavFormat& format, const std::vector<uint8_t>& data,
                             std::optional<uint32_t> riff_size = std::nullopt,
                             std::optional<uint32_t> data_size = std::nullopt);

// `frames` frames of integer PCM of `bits` bits, each channel held at its
// own value (8-bit samples stored unsigned, as WAV keeps them: 128 is
// silence; 24-bit ones in three bytes).
std::vector<uint8_t> PcmSamples(int bits, const std::vector<int32_t>& channel_values,
                                uint32_t frames);
// A plain PCM file: `frames` frames, every channel at `value` (as PcmSamples).
std::vector<uint8_t> PcmWav(uint32_t rate, uint16_t channels, uint16_t bits, uint32_t frames,
                            int32_t value);
// The same for 32-bit float samples.
std::vector<uint8_t> FloatSamples(const std::vector<float>& channel_values, uint32_t frames);

// One file and how it sounds on a device playing 16-bit stereo at 44100 Hz.
struct SoundVariant {
  enum class Heard {
    kWhole,          // `frames` frames at (left, right), within `frame_slack`
    kNothing,        // silence
    kNothingOrPart,  // silence, or at most `frames` frames of sound
  };
  std::string name;  // short, lower case, usable in file and test names
  std::vector<uint8_t> bytes;
  Heard heard = Heard::kNothing;
  int16_t left = 0;
  int16_t right = 0;
  long frames = 0;
  // Frames that resampling may add, drop or smear at the sound's two ends.
  long frame_slack = 0;

  double Seconds() const { return static_cast<double>(frames) / 44100.0; }
};

// Empty, cut and lying files, files that are no WAV at all, the PCM
// variants SDL decodes (8, 16, 24-bit and float, mono and stereo, 11025 to
// 48000 Hz, the extensible header) and compressed ones it cannot play.
std::vector<SoundVariant> SoundVariants();

}  // namespace rallix::testing
