// The game's sounds on SDL: reading the files, decoding them for the device,
// and playing them through SDL's disk audio driver, whose output file shows
// exactly which samples reached the "device".
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "sdl/sdl_sound.h"
#include "sdl/sdl_sound_decode.h"
#include "sdl/sdl_sound_file.h"
#include "tests/support/audio_device.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wav_variants.h"

namespace rallix {
namespace {

using testing::AudioDevice;
using testing::PcmWav;
using testing::TempFolder;
using Clock = std::chrono::steady_clock;

TEST(SoundFile, ReadsRegularFilesAndRefusesEverythingElse) {
  TempFolder folder;
  const std::vector<uint8_t> bytes = {1, 2, 3, 4, 5};
  EXPECT_EQ(ReadSoundFile(folder.Write("five.WAV", bytes)), bytes);
  EXPECT_FALSE(ReadSoundFile(folder.File("missing.WAV")));
  EXPECT_FALSE(ReadSoundFile(folder.Write("empty.WAV", {})));
  EXPECT_FALSE(ReadSoundFile(folder.Write("big.WAV", std::vector<uint8_t>(101)), 100));
  EXPECT_TRUE(ReadSoundFile(folder.Write("edge.WAV", std::vector<uint8_t>(100)), 100));
  ASSERT_EQ(mkdir(folder.File("folder.WAV").c_str(), 0700), 0);
  EXPECT_FALSE(ReadSoundFile(folder.File("folder.WAV")));
  EXPECT_FALSE(ReadSoundFile(""));
  // A named pipe with no writer would block a plain open: refused at once.
  ASSERT_EQ(mkfifo(folder.File("pipe.WAV").c_str(), 0600), 0);
  EXPECT_FALSE(ReadSoundFile(folder.File("pipe.WAV")));
  ASSERT_EQ(chmod(folder.File("five.WAV").c_str(), 0), 0);
  if (geteuid() != 0) {
    EXPECT_FALSE(ReadSoundFile(folder.File("five.WAV")));
  }
}

TEST(SoundDecode, ConvertsToTheDeviceFormatRateAndChannels) {
  // 8-bit mono at 22050 Hz to 16-bit stereo at 44100 Hz: four times the
  // bytes per frame, twice the frames (give or take the resampler's edge).
  const std::vector<uint8_t> wav = PcmWav(22050, 1, 8, 2205, 72);
  auto samples = DecodeSoundForDevice(wav.data(), wav.size(), AudioDevice(44100, AUDIO_S16SYS, 2));
  ASSERT_TRUE(samples);
  EXPECT_NEAR(static_cast<double>(samples->size()), 4 * 4410.0, 4 * 64.0);
  EXPECT_EQ(samples->size() % 4, 0u);

  // The same format passes through unchanged.
  const std::vector<uint8_t> same = PcmWav(44100, 2, 16, 1000, 1234);
  samples = DecodeSoundForDevice(same.data(), same.size(), AudioDevice(44100, AUDIO_S16LSB, 2));
  ASSERT_TRUE(samples);
  ASSERT_EQ(samples->size(), 4000u);
  EXPECT_EQ((*samples)[0] | (*samples)[1] << 8, 1234);

  samples = DecodeSoundForDevice(same.data(), same.size(), AudioDevice(48000, AUDIO_F32SYS, 1));
  ASSERT_TRUE(samples);
  EXPECT_EQ(samples->size() % 4, 0u);
}

TEST(SoundDecode, RefusesWhatIsNotAPlayableSound) {
  const SDL_AudioSpec device = AudioDevice(44100, AUDIO_S16SYS, 2);
  const std::vector<uint8_t> wav = PcmWav(22050, 1, 16, 1000, 100);
  EXPECT_FALSE(DecodeSoundForDevice(nullptr, 0, device));
  const std::vector<uint8_t> garbage(1000, 0x5a);
  EXPECT_FALSE(DecodeSoundForDevice(garbage.data(), garbage.size(), device));
  // Cut inside the header.
  EXPECT_FALSE(DecodeSoundForDevice(wav.data(), 30, device));
  // A data chunk without a single sample.
  const std::vector<uint8_t> silent = PcmWav(22050, 1, 16, 0, 0);
  EXPECT_FALSE(DecodeSoundForDevice(silent.data(), silent.size(), device));
  // A sound that would convert to more than the limit (2000 bytes become
  // about 8000 at the device).
  EXPECT_FALSE(DecodeSoundForDevice(wav.data(), wav.size(), device, 4000));
  EXPECT_TRUE(DecodeSoundForDevice(wav.data(), wav.size(), device, 16000));
  // A device format SDL cannot convert to.
  EXPECT_FALSE(DecodeSoundForDevice(wav.data(), wav.size(), AudioDevice(44100, 0, 2)));
  // Cut inside the samples: what is there plays, or nothing; never a crash.
  for (size_t cut = 0; cut < wav.size(); cut += 7) {
    DecodeSoundForDevice(wav.data(), cut, device);
  }
}

// Plays through SDL's disk driver into a file; the device format is asked
// for as 16-bit stereo at 44100 Hz, which the disk driver grants, so the
// file holds the test sounds' samples unchanged.
class SoundPlayback : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
    sound_ = std::make_unique<SdlSound>();
    ASSERT_TRUE(sound_->HasDevice()) << SDL_GetError();
    const SDL_AudioSpec& device = sound_->DeviceFormat();
    ASSERT_EQ(device.freq, 44100);
    ASSERT_EQ(device.format, AUDIO_S16SYS);
    ASSERT_EQ(device.channels, 2);
  }
  void TearDown() override { unsetenv("SDL_DISKAUDIOFILE"); }

  static long Frames(int ms) { return 441L * ms / 10; }
  // A sound of `ms` milliseconds whose every sample is `value`.
  std::string Tone(const std::string& name, int ms, int value) {
    return folder_.Write(name, PcmWav(44100, 2, 16, static_cast<uint32_t>(Frames(ms)), value));
  }
  // Closes the device and counts the frames the disk file got, by value.
  std::map<int16_t, long> Played() {
    sound_.reset();
    std::ifstream file(output_, std::ios::binary);
    std::map<int16_t, long> frames;
    int16_t frame[2];
    while (file.read(reinterpret_cast<char*>(frame), sizeof frame))
      ++frames[frame[0]];
    return frames;
  }
  // The values of the frames in the order they were played, runs merged.
  std::vector<int16_t> PlayedOrder() {
    sound_.reset();
    std::ifstream file(output_, std::ios::binary);
    std::vector<int16_t> order;
    int16_t frame[2];
    while (file.read(reinterpret_cast<char*>(frame), sizeof frame)) {
      if (order.empty() || order.back() != frame[0])
        order.push_back(frame[0]);
    }
    return order;
  }

  TempFolder folder_;
  std::string output_ = folder_.File("device.raw");
  std::unique_ptr<SdlSound> sound_;
};

TEST_F(SoundPlayback, SynchronousPlayReturnsOnlyAfterTheWholeSoundWasPlayed) {
  const std::string tone = Tone("pupu.WAV", 300, 1000);
  const Clock::time_point start = Clock::now();
  sound_->PlaySync(tone);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_EQ(Played()[1000], Frames(300));
}

TEST_F(SoundPlayback, ALongSynchronousSoundHoldsTheGameAFewSecondsAtMost) {
  // Twenty seconds of sound: cut off where the wait gives up.
  const std::string tone = Tone("pupu.WAV", 20000, 1000);
  Clock::time_point start = Clock::now();
  EXPECT_TRUE(sound_->PlaySync(tone));
  const Clock::duration held = Clock::now() - start;
  EXPECT_GE(held, kLongestSyncWait);
  EXPECT_LT(held, kLongestSyncWait + std::chrono::seconds(5));

  // Asked to stop waiting (the window was closed), it returns at once.
  start = Clock::now();
  int asked = 0;
  EXPECT_FALSE(sound_->PlaySync(tone, [&asked] { return ++asked == 3; }));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(asked, 3);
  EXPECT_LT(Played()[1000], Frames(10000));
}

TEST_F(SoundPlayback, UnplayableFilesPlayNothingAndSilenceTheSoundPlaying) {
  sound_->PlaySync(folder_.File("missing.WAV"));
  sound_->PlaySync(folder_.Write("garbage.WAV", std::vector<uint8_t>(500, 7)));
  sound_->PlayAsync(Tone("long.WAV", 10000, 1000));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  sound_->PlayAsync(folder_.File("missing.WAV"));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const std::map<int16_t, long> played = Played();
  EXPECT_GT(played.count(1000) ? played.at(1000) : 0, 0);
  EXPECT_LT(played.at(1000), 44100 * 5);
  EXPECT_EQ(played.size(), 2u) << "silence and the one tone";
}

TEST_F(SoundPlayback, AsynchronousPlayReplacesTheSoundAndStopSilencesIt) {
  sound_->PlayAsync(Tone("pon.WAV", 10000, 1000));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  sound_->PlayAsync(Tone("pin.WAV", 10000, 2000));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  sound_->Stop();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  std::vector<int16_t> order = PlayedOrder();
  // The first tone (after silence, when the device started before it), the
  // second tone straight after it, silence.
  if (!order.empty() && order.front() == 0)
    order.erase(order.begin());
  const std::vector<int16_t> expected = {1000, 2000, 0};
  EXPECT_EQ(order, expected);
}

TEST_F(SoundPlayback, AFileIsDecodedOnceAndAgainWhenItsSizeOrTimeChanged) {
  // Read and decoded before it is played.
  const std::string name = Tone("pipopin.WAV", 50, 1000);
  sound_->Prepare(name);
  // Other samples behind the same size and modification time: the samples
  // decoded then are played, twice, and the file is not read again.
  struct stat first {};
  ASSERT_EQ(stat(name.c_str(), &first), 0);
  Tone("pipopin.WAV", 50, 2000);
  const timespec times[2] = {first.st_atim, first.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, name.c_str(), times, 0), 0);
  sound_->PlaySync(name);
  sound_->PlaySync(name);
  // Another size, then the same size written anew.
  Tone("pipopin.WAV", 80, 3000);
  sound_->PlaySync(name);
  Tone("pipopin.WAV", 80, 4000);
  sound_->PlaySync(name);
  std::map<int16_t, long> played = Played();
  EXPECT_EQ(played[1000], 2 * Frames(50));
  EXPECT_EQ(played[2000], 0);
  EXPECT_EQ(played[3000], Frames(80));
  EXPECT_EQ(played[4000], Frames(80));
}

}  // namespace
}  // namespace rallix
