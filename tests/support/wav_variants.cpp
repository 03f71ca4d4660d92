#include "tests/support/wav_variants.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace rallix::testing {
namespace {

using Heard = SoundVariant::Heard;

// Every variant that plays lasts 0.2 s at the device.
constexpr uint32_t kFrames = 8820;

void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& out, const char* tag) {
  out.insert(out.end(), tag, tag + 4);
}

SoundVariant Whole(std::string name, std::vector<uint8_t> bytes, int16_t left, int16_t right,
                   long frames = kFrames, long frame_slack = 0) {
  SoundVariant variant;
  variant.name = std::move(name);
  variant.bytes = std::move(bytes);
  variant.heard = Heard::kWhole;
  variant.left = left;
  variant.right = right;
  variant.frames = frames;
  variant.frame_slack = frame_slack;
  return variant;
}

SoundVariant Nothing(std::string name, std::vector<uint8_t> bytes) {
  SoundVariant variant;
  variant.name = std::move(name);
  variant.bytes = std::move(bytes);
  return variant;
}

// A mono MS-ADPCM file with 500 samples to a block: a good first block that
// holds the value 1000, then a block whose predictor index points past the
// seven coefficient pairs.
SoundVariant MsAdpcmWithABrokenBlock() {
  WavFormat format;
  format.tag = 2;
  format.rate = 22050;
  format.bits = 4;
  format.block_align = 256;
  Put(format.extension, 500, 2);  // samples per block
  Put(format.extension, 7, 2);    // coefficient pairs
  const int coefficients[] = {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232};
  for (int c : coefficients)
    Put(format.extension, static_cast<uint32_t>(c), 2);

  std::vector<uint8_t> data;
  for (uint8_t predictor : {uint8_t{0}, uint8_t{0xFF}}) {
    data.push_back(predictor);
    Put(data, 16, 2);    // delta
    Put(data, 1000, 2);  // the block's first two samples
    Put(data, 1000, 2);
    data.resize(data.size() + 249, 0);  // nibbles of no change
  }
  SoundVariant variant;
  variant.name = "ms-adpcm-broken-block";
  variant.bytes = WavFile(format, data);
  variant.heard = Heard::kNothingOrPart;
  variant.left = variant.right = 1000;
  variant.frames = 2 * 500;  // 22050 Hz doubled to 44100
  variant.frame_slack = 100;
  return variant;
}

// Compressed formats SDL has no decoder for.
SoundVariant Gsm() {
  WavFormat format;
  format.tag = 0x31;
  format.rate = 8000;
  format.bits = 0;
  format.block_align = 65;
  Put(format.extension, 320, 2);  // samples per block
  std::vector<uint8_t> data(65 * 20);
  for (size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<uint8_t>(i * 37 + 11);
  return Nothing("gsm-6-10", WavFile(format, data));
}

SoundVariant Mp3() {
  WavFormat format;
  format.tag = 0x55;
  format.channels = 2;
  format.bits = 0;
  format.block_align = 1;
  Put(format.extension, 1, 2);    // wID
  Put(format.extension, 2, 4);    // fdwFlags
  Put(format.extension, 417, 2);  // nBlockSize
  Put(format.extension, 1, 2);    // nFramesPerBlock
  Put(format.extension, 0, 2);    // nCodecDelay
  std::vector<uint8_t> data;
  for (int frame = 0; frame < 10; ++frame) {
    const uint8_t header[] = {0xFF, 0xFB, 0x90, 0x64};
    data.insert(data.end(), header, header + 4);
    data.resize(data.size() + 413, static_cast<uint8_t>(frame));
  }
  return Nothing("mp3", WavFile(format, data));
}

SoundVariant ExtensiblePcm() {
  WavFormat format;
  format.tag = 0xFFFE;
  format.channels = 2;
  Put(format.extension, 16, 2);  // valid bits
  Put(format.extension, 3, 4);   // front left and right
  // KSDATAFORMAT_SUBTYPE_PCM
  const uint8_t pcm_guid[] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                              0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  format.extension.insert(format.extension.end(), pcm_guid, pcm_guid + 16);
  return Whole("extensible-pcm-16-bit", WavFile(format, PcmSamples(16, {1500, 2500}, kFrames)),
               1500, 2500);
}

WavFormat Pcm(uint16_t channels, uint32_t rate, uint16_t bits, uint16_t tag = 1) {
  WavFormat format;
  format.tag = tag;
  format.channels = channels;
  format.rate = rate;
  format.bits = bits;
  return format;
}

// A quarter of full scale, but for a burst of 100 samples that are NaN, the
// infinities and 1e30: out of range for every sample format.
SoundVariant FloatWithNanAndInfinity() {
  std::vector<uint8_t> data = FloatSamples({0.25f}, kFrames);
  const float wild[] = {std::numeric_limits<float>::quiet_NaN(),
                        std::numeric_limits<float>::infinity(),
                        -std::numeric_limits<float>::infinity(), 1e30f};
  for (size_t i = 0; i < 100; ++i) {
    const std::vector<uint8_t> sample = FloatSamples({wild[i % 4]}, 1);
    std::copy(sample.begin(), sample.end(), data.begin() + 4 * (4000 + i));
  }
  return Whole("float-with-nan-and-infinity", WavFile(Pcm(1, 44100, 32, 3), data), 8192, 8192,
               kFrames, 100);
}

}  // namespace

std::vector<uint8_t> WavFile(const WavFormat& format, const std::vector<uint8_t>& data,
                             std::optional<uint32_t> riff_size, std::optional<uint32_t> data_size) {
  std::vector<uint8_t> fmt;
  Put(fmt, format.tag, 2);
  Put(fmt, format.channels, 2);
  Put(fmt, format.rate, 4);
  const uint32_t block = format.block_align != 0
                             ? format.block_align
                             : static_cast<uint32_t>(format.channels * format.bits / 8);
  Put(fmt, format.rate * block, 4);
  Put(fmt, block, 2);
  Put(fmt, format.bits, 2);
  if (!format.extension.empty()) {
    Put(fmt, static_cast<uint32_t>(format.extension.size()), 2);
    fmt.insert(fmt.end(), format.extension.begin(), format.extension.end());
  }

  std::vector<uint8_t> out;
  PutTag(out, "RIFF");
  const uint32_t true_riff = static_cast<uint32_t>(4 + 8 + fmt.size() + 8 + data.size());
  Put(out, riff_size.value_or(true_riff), 4);
  PutTag(out, "WAVE");
  PutTag(out, "fmt ");
  Put(out, static_cast<uint32_t>(fmt.size()), 4);
  out.insert(out.end(), fmt.begin(), fmt.end());
  PutTag(out, "data");
  Put(out, data_size.value_or(static_cast<uint32_t>(data.size())), 4);
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

std::vector<uint8_t> PcmSamples(int bits, const std::vector<int32_t>& channel_values,
                                uint32_t frames) {
  std::vector<uint8_t> out;
  for (uint32_t frame = 0; frame < frames; ++frame) {
    for (int32_t value : channel_values) {
      const int32_t stored = bits == 8 ? value + 128 : value;
      Put(out, static_cast<uint32_t>(stored), bits / 8);
    }
  }
  return out;
}

std::vector<uint8_t> PcmWav(uint32_t rate, uint16_t channels, uint16_t bits, uint32_t frames,
                            int32_t value) {
  return WavFile(Pcm(channels, rate, bits),
                 PcmSamples(bits, std::vector<int32_t>(channels, value), frames));
}

std::vector<uint8_t> FloatSamples(const std::vector<float>& channel_values, uint32_t frames) {
  std::vector<uint8_t> out;
  for (uint32_t frame = 0; frame < frames; ++frame) {
    for (float value : channel_values) {
      uint32_t bits = 0;
      std::memcpy(&bits, &value, sizeof bits);
      Put(out, bits, 4);
    }
  }
  return out;
}

std::vector<SoundVariant> SoundVariants() {
  std::vector<SoundVariant> variants;
  const WavFormat stereo16 = Pcm(2, 44100, 16);
  const WavFormat mono16 = Pcm(1, 44100, 16);

  // Broken and lying files.
  variants.push_back(Nothing("empty", {}));
  const std::vector<uint8_t> good = WavFile(stereo16, PcmSamples(16, {3000, -3000}, kFrames));
  variants.push_back(Nothing("cut-in-the-header", {good.begin(), good.begin() + 30}));
  // The data chunk claims 8820 frames; 5000 and half a frame are there.
  variants.push_back(
      Whole("cut-in-the-data", {good.begin(), good.begin() + 44 + 20002}, 3000, -3000, 5000));
  variants.push_back(Whole("claims-four-gigabytes",
                           WavFile(mono16, PcmSamples(16, {2500}, kFrames), 0xFFFFFFF0, 0xFFFFFFF0),
                           2500, 2500));
  const std::string text = "This is no sound at all, only a few words of text.\n";
  variants.push_back(Nothing("not-a-wav", {text.begin(), text.end()}));
  variants.push_back(Nothing("no-data-chunk", {good.begin(), good.begin() + 36}));
  variants.push_back(Nothing("no-samples", WavFile(stereo16, {})));
  // At one frame a second the samples would play for hours.
  variants.push_back(Nothing("rate-of-1-hz", WavFile(Pcm(1, 1, 16), PcmSamples(16, {900}, 8820))));
  // Rates that overflow the arithmetic of SDL's resampler.
  variants.push_back(
      Nothing("rate-of-4-megahertz", WavFile(Pcm(2, 4194301, 8), PcmSamples(8, {64, 64}, 8820))));
  variants.push_back(
      Nothing("rate-of-8-megahertz", WavFile(Pcm(1, 8388608, 16), PcmSamples(16, {900}, 8820))));

  // What SDL decodes.
  variants.push_back(Whole("pcm-8-bit-unsigned",
                           WavFile(Pcm(2, 44100, 8), PcmSamples(8, {64, -64}, kFrames)), 64 * 256,
                           -64 * 256));
  variants.push_back(
      Whole("pcm-16-bit-mono", WavFile(mono16, PcmSamples(16, {-7000}, kFrames)), -7000, -7000));
  variants.push_back(Whole("pcm-16-bit-stereo",
                           WavFile(stereo16, PcmSamples(16, {12000, -5000}, kFrames)), 12000,
                           -5000));
  variants.push_back(Whole(
      "pcm-24-bit", WavFile(Pcm(2, 44100, 24), PcmSamples(24, {0x123456, -0x200000}, kFrames)),
      0x1234, -0x2000));
  variants.push_back(Whole("pcm-32-bit",
                           WavFile(Pcm(1, 44100, 32), PcmSamples(32, {0x30000000}, kFrames)),
                           0x3000, 0x3000));
  variants.push_back(Whole("float-32-bit-48000-hz",
                           WavFile(Pcm(1, 48000, 32, 3), FloatSamples({0.25f}, 9600)), 8192, 8192,
                           kFrames, 100));
  variants.push_back(FloatWithNanAndInfinity());
  variants.push_back(Whole("pcm-11025-hz", WavFile(Pcm(1, 11025, 16), PcmSamples(16, {6000}, 2205)),
                           6000, 6000, kFrames, 100));
  variants.push_back(Whole("pcm-48000-hz",
                           WavFile(Pcm(2, 48000, 16), PcmSamples(16, {4000, 8000}, 9600)), 4000,
                           8000, kFrames, 100));
  variants.push_back(ExtensiblePcm());

  // Compressed.
  variants.push_back(MsAdpcmWithABrokenBlock());
  variants.push_back(Gsm());
  variants.push_back(Mp3());
  return variants;
}

}  // namespace rallix::testing
