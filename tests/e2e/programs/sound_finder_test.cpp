// Finding sounds in a recording of the audio device: anywhere, cut short,
// started again, with a silent start, and never where only part of a frame or
// of the sound's opening matches.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "tests/e2e/programs/sound_finder.h"

namespace rallix::e2e {
namespace {

constexpr size_t kFrameBytes = 4;  // 16-bit stereo

// `frames` frames of noise from `seed`, never silent.
std::vector<uint8_t> Noise(size_t frames, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> bytes(frames * kFrameBytes);
  for (uint8_t& byte : bytes)
    byte = static_cast<uint8_t>(1 + random() % 255);
  return bytes;
}

std::vector<uint8_t> Silence(size_t frames) {
  return std::vector<uint8_t>(frames * kFrameBytes, 0);
}

std::vector<uint8_t> Part(const std::vector<uint8_t>& sound, size_t first, size_t frames) {
  return {sound.begin() + static_cast<long>(first * kFrameBytes),
          sound.begin() + static_cast<long>((first + frames) * kFrameBytes)};
}

// A recording made of the pieces in order.
std::vector<uint8_t> Recording(const std::vector<std::vector<uint8_t>>& pieces) {
  std::vector<uint8_t> out;
  for (const std::vector<uint8_t>& piece : pieces)
    out.insert(out.end(), piece.begin(), piece.end());
  return out;
}

struct Found {
  size_t frame;
  size_t matched;
  bool whole;
  friend bool operator==(const Found& a, const Found& b) {
    return a.frame == b.frame && a.matched == b.matched && a.whole == b.whole;
  }
  friend std::ostream& operator<<(std::ostream& out, const Found& f) {
    return out << "{" << f.frame << ", " << f.matched << (f.whole ? ", whole}" : ", cut}");
  }
};

std::vector<Found> Find(const std::vector<uint8_t>& recording, const std::vector<uint8_t>& sound,
                        size_t min_frames = 256) {
  SoundSearch search;
  search.frame_bytes = kFrameBytes;
  search.min_frames = min_frames;
  std::vector<Found> found;
  for (const SoundOccurrence& at : FindSound(recording, sound, search))
    found.push_back({at.frame, at.frames_matched, at.whole});
  return found;
}

TEST(FindSound, EveryWholePlayIsFoundAtItsFrameAmongSilenceAndOtherSounds) {
  const std::vector<uint8_t> pon = Noise(4410, 1);
  const std::vector<uint8_t> pin = Noise(2425, 2);
  const std::vector<uint8_t> recording =
      Recording({Silence(1234), pon, Silence(3000), pin, pon, Silence(17), pin, Silence(500)});
  EXPECT_EQ(Find(recording, pon),
            (std::vector<Found>{{1234, 4410, true}, {1234 + 4410 + 3000 + 2425, 4410, true}}));
  EXPECT_EQ(Find(recording, pin),
            (std::vector<Found>{{1234 + 4410 + 3000, 2425, true},
                                {1234 + 2 * 4410 + 3000 + 2425 + 17, 2425, true}}));
  EXPECT_TRUE(Find(Silence(20000), pon).empty());
}

TEST(FindSound, ASoundWithASilentStartIsFoundWhereItsSilenceBegins) {
  const std::vector<uint8_t> sound = Recording({Silence(300), Noise(1000, 3)});
  const std::vector<uint8_t> recording = Recording({Silence(5000), sound, Silence(100)});
  EXPECT_EQ(Find(recording, sound), (std::vector<Found>{{5000, 1300, true}}));
  // Its opening silence is not there: a recording that starts with its tone.
  EXPECT_TRUE(Find(Recording({Noise(10, 9), Part(sound, 300, 1000)}), sound).empty());
  EXPECT_TRUE(Find(Recording({Silence(800)}), Silence(300)).empty()) << "silence is no sound";
}

TEST(FindSound, ASoundCutShortOrStartedAgainIsFoundEachTime) {
  const std::vector<uint8_t> pupu = Noise(22000, 4);
  const std::vector<uint8_t> other = Noise(3000, 5);
  // Replaced after 1024 frames; started again after 700 while it played;
  // cut by the end of the recording.
  const std::vector<uint8_t> recording =
      Recording({Silence(100), Part(pupu, 0, 1024), other, Part(pupu, 0, 700), pupu, Silence(50),
                 Part(pupu, 0, 5000)});
  const size_t second = 100 + 1024 + 3000;
  EXPECT_EQ(Find(recording, pupu), (std::vector<Found>{{100, 1024, false},
                                                       {second, 700, false},
                                                       {second + 700, 22000, true},
                                                       {second + 700 + 22000 + 50, 5000, false}}));
  // Fewer frames than asked for do not count.
  EXPECT_TRUE(Find(Recording({Silence(10), Part(pupu, 0, 200), Silence(10)}), pupu).empty());
}

TEST(FindSound, ASoundThatRepeatsItselfIsFoundOncePerPlay) {
  const std::vector<uint8_t> pu = Noise(3000, 6);
  const std::vector<uint8_t> pupu = Recording({pu, Silence(400), pu});
  const std::vector<uint8_t> recording = Recording({Silence(10), pupu, Silence(10), pupu});
  EXPECT_EQ(Find(recording, pupu),
            (std::vector<Found>{{10, 6400, true}, {10 + 6400 + 10, 6400, true}}));
}

TEST(FindSound, MatchesAcrossFrameBoundariesOrWithOneSampleChangedAreNoSound) {
  const std::vector<uint8_t> pon = Noise(2000, 7);
  // The sound's bytes two bytes into a frame: the same bytes, other samples.
  std::vector<uint8_t> shifted = Recording({Silence(10), {1, 1}, pon, {2, 2}});
  EXPECT_TRUE(Find(shifted, pon).empty());
  // One sample of the opening changed.
  std::vector<uint8_t> changed = Recording({Silence(10), pon});
  changed[(10 + 100) * kFrameBytes] ^= 1;
  EXPECT_TRUE(Find(changed, pon).empty());
  // A trailing partial frame is ignored.
  std::vector<uint8_t> partial = Recording({Silence(10), pon, {9}});
  EXPECT_EQ(Find(partial, pon), (std::vector<Found>{{10, 2000, true}}));
}

}  // namespace
}  // namespace rallix::e2e
