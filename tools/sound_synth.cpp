#include "tools/sound_synth.h"

#include <algorithm>
#include <stdexcept>

#include "generated/game_sounds.h"
#include "tools/wav_file.h"

namespace rallix::art {
namespace {

constexpr int64_t kOne = int64_t{1} << 30;  // unity gain in the envelope's fixed point
constexpr int64_t kLn2 = 744261118;         // ln 2 in the same fixed point
constexpr uint32_t kFadeInMs = 3;
constexpr uint32_t kFadeOutMs = 6;
constexpr int64_t kSmoothing = 100;  // one-pole low-pass, out of 256

uint32_t MsToSamples(uint32_t ms) {
  return static_cast<uint32_t>(uint64_t{ms} * kSoundSampleRate / 1000);
}

// The phase step per sample of a tone of `hz`, in 1/2^32 of a period.
int64_t PhaseStep(uint32_t hz) {
  return static_cast<int64_t>((uint64_t{hz} << 32) / kSoundSampleRate);
}

// Square and triangle of the same phase mixed, full scale +-32767.
int64_t Oscillator(uint32_t phase, int64_t square_share) {
  const int64_t square = phase < 0x80000000u ? 32767 : -32767;
  const int64_t t = phase >> 16;  // 0 to 65535 over one period
  const int64_t triangle = t < 32768 ? -32767 + 2 * t : 32767 - 2 * (t - 32768);
  return (square * square_share + triangle * (256 - square_share)) / 256;
}

// Appends one note: the oscillator through a gentle low-pass, shaped by a
// short fade-in, an exponential decay and a short fade-out to silence.
void AppendNote(const Note& note, std::vector<int64_t>& out, uint32_t& phase, int64_t& smoothed) {
  const uint32_t length = MsToSamples(note.duration_ms);
  const uint32_t fade_in = MsToSamples(kFadeInMs);
  const uint32_t fade_out = MsToSamples(kFadeOutMs);
  const uint32_t half_life = MsToSamples(note.half_life_ms);
  if (length < fade_in + fade_out || half_life == 0 || note.square_share > 256) {
    throw std::invalid_argument("a note must outlast its fades and decay at a positive rate");
  }
  const int64_t decay = kOne - kLn2 / half_life;  // per sample; halves over half_life
  const int64_t first_step = PhaseStep(note.start_hz);
  const int64_t last_step = PhaseStep(note.end_hz);
  int64_t gain = kOne;
  for (uint32_t i = 0; i < length; ++i) {
    const int64_t raw = Oscillator(phase, note.square_share);
    smoothed += (raw - smoothed) * kSmoothing / 256;
    int64_t envelope = gain;
    if (i < fade_in)
      envelope = envelope * i / fade_in;
    const uint32_t left = length - 1 - i;
    if (left < fade_out)
      envelope = envelope * left / fade_out;
    out.push_back(smoothed * envelope / kOne);
    gain = gain * decay / kOne;
    phase += static_cast<uint32_t>(first_step + (last_step - first_step) * i / length);
  }
}

}  // namespace

std::vector<SoundRecipe> GameSoundRecipes() {
  constexpr int32_t kPeak = 14745;  // 45% of full scale
  return {
      // A paddle strikes the ball: a round mid "pon" that sinks a little.
      {"pon.WAV", {{540, 480, 100, 30, 96}}, kPeak},
      // The ball bounces off a wall: higher, brighter and shorter.
      {"pin.WAV", {{1320, 1320, 55, 18, 64}}, kPeak},
      // The player misses: two falling notes, "pu-pu".
      {"pupu.WAV", {{440, 430, 220, 110, 160}, {294, 280, 300, 140, 160}}, kPeak},
      // The player scores: three rising notes, "pi-po-pin".
      {"pipopin.WAV",
       {{660, 660, 120, 70, 112}, {880, 880, 120, 70, 112}, {1320, 1320, 340, 120, 112}},
       kPeak},
  };
}

std::vector<int16_t> Synthesise(const SoundRecipe& recipe) {
  if (recipe.peak <= 0 || recipe.peak > 32767) {
    throw std::invalid_argument("a sound's peak must lie within 16-bit full scale");
  }
  std::vector<int64_t> tone;
  uint32_t phase = 0;
  int64_t smoothed = 0;
  for (const Note& note : recipe.notes)
    AppendNote(note, tone, phase, smoothed);
  // Scale the whole sound so that its loudest sample reaches the peak.
  int64_t loudest = 1;
  for (int64_t sample : tone)
    loudest = std::max(loudest, sample < 0 ? -sample : sample);
  std::vector<int16_t> samples;
  samples.reserve(tone.size());
  for (int64_t sample : tone)
    samples.push_back(static_cast<int16_t>(sample * recipe.peak / loudest));
  return samples;
}

std::vector<GeneratedFile> GameSoundFiles() {
  const std::vector<SoundRecipe> recipes = GameSoundRecipes();
  std::vector<GeneratedFile> files;
  for (const char* name : {RALLIX_GAME_SOUNDS}) {
    const auto recipe = std::find_if(recipes.begin(), recipes.end(),
                                     [name](const SoundRecipe& r) { return r.file_name == name; });
    if (recipe == recipes.end())
      throw std::invalid_argument(std::string("no recipe for the game's sound ") + name);
    files.push_back({recipe->file_name, EncodeMonoWav(Synthesise(*recipe), kSoundSampleRate)});
  }
  return files;
}

}  // namespace rallix::art
