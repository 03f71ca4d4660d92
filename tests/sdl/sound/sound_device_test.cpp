// The game's sounds on SDL: reading the files, decoding every kind of file
// the game may meet (tests/support/wav_variants.h) for any device, playing
// them through SDL's disk audio driver, whose output file shows exactly
// which samples reached the "device", and the whole game with no device.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "game/form_main.h"
#include "game/main_loop.h"
#include "sdl/app/run_game.h"
#include "sdl/sound/decode.h"
#include "sdl/sound/device.h"
#include "sdl/sound/file.h"
#include "sdl/sound/volume.h"
#include "tests/support/audio_device.h"
#include "tests/support/autopilot.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wav_variants.h"

namespace rallix {
namespace {

using testing::AudioDevice;
using testing::PcmWav;
using testing::SoundVariant;
using testing::TempFolder;
using Heard = SoundVariant::Heard;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// While it lives, SDL asking for more than 16 MB at once fails the test and
// is refused. Loading any of these small files needs far less: a larger
// request means a size written in a file was believed.
class SdlAllocationLimit {
 public:
  SdlAllocationLimit() {
    SDL_GetMemoryFunctions(&malloc_, &calloc_, &realloc_, &free_);
    SDL_SetMemoryFunctions(&Malloc, &Calloc, &Realloc, free_);
  }
  ~SdlAllocationLimit() { SDL_SetMemoryFunctions(malloc_, calloc_, realloc_, free_); }
  SdlAllocationLimit(const SdlAllocationLimit&) = delete;
  SdlAllocationLimit& operator=(const SdlAllocationLimit&) = delete;

 private:
  static constexpr size_t kLimit = size_t{16} << 20;

  static bool Refused(size_t bytes) {
    if (bytes <= kLimit)
      return false;
    ADD_FAILURE() << "SDL asked for " << bytes << " bytes at once";
    return true;
  }
  // The functions SDL started with: the C library's, which free whatever
  // either set allocated.
  struct Original {
    Original() { SDL_GetOriginalMemoryFunctions(&malloc, &calloc, &realloc, &free); }
    SDL_malloc_func malloc = nullptr;
    SDL_calloc_func calloc = nullptr;
    SDL_realloc_func realloc = nullptr;
    SDL_free_func free = nullptr;
  };
  static void* Malloc(size_t bytes) { return Refused(bytes) ? nullptr : Original().malloc(bytes); }
  static void* Calloc(size_t count, size_t size) {
    if (size != 0 && count > kLimit / size) {
      ADD_FAILURE() << "SDL asked for " << count << " times " << size << " bytes at once";
      return nullptr;
    }
    return Original().calloc(count, size);
  }
  static void* Realloc(void* block, size_t bytes) {
    return Refused(bytes) ? nullptr : Original().realloc(block, bytes);
  }

  SDL_malloc_func malloc_ = nullptr;
  SDL_calloc_func calloc_ = nullptr;
  SDL_realloc_func realloc_ = nullptr;
  SDL_free_func free_ = nullptr;
};

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

TEST(SoundDecode, EveryFileConvertsToWholeFramesForEveryDeviceOrIsRefused) {
  SdlAllocationLimit limit;
  // The device the game asks for first: there each sound holds its samples.
  const SDL_AudioSpec devices[] = {
      AudioDevice(44100, AUDIO_S16SYS, 2), AudioDevice(48000, AUDIO_F32SYS, 2),
      AudioDevice(22050, AUDIO_U8, 1), AudioDevice(96000, AUDIO_S32SYS, 6),
      AudioDevice(8000, AUDIO_S8, 4)};
  for (const SoundVariant& variant : testing::SoundVariants()) {
    for (const SDL_AudioSpec& device : devices) {
      SCOPED_TRACE(variant.name + " at " + std::to_string(device.freq) + " Hz");
      const auto samples = DecodeSoundForDevice(variant.bytes.data(), variant.bytes.size(), device);
      const size_t frame = SDL_AUDIO_BITSIZE(device.format) / 8 * device.channels;
      if (variant.heard == Heard::kNothing) {
        EXPECT_FALSE(samples);
        continue;
      }
      if (!samples) {
        EXPECT_EQ(variant.heard, Heard::kNothingOrPart);
        continue;
      }
      ASSERT_FALSE(samples->empty());
      EXPECT_EQ(samples->size() % frame, 0u);
      const double frames = static_cast<double>(samples->size() / frame);
      const double expected = static_cast<double>(variant.frames) * device.freq / 44100.0;
      const double slack = 1.0 + static_cast<double>(variant.frame_slack) * device.freq / 44100.0;
      if (variant.heard == Heard::kWhole) {
        EXPECT_NEAR(frames, expected, slack);
      } else {
        EXPECT_LE(frames, expected + slack);
      }
      if (SDL_AUDIO_ISFLOAT(device.format)) {
        // NaN or an infinity would reach the sound card as it is.
        for (size_t at = 0; at + 4 <= samples->size(); at += 4) {
          float sample = 0;
          std::memcpy(&sample, samples->data() + at, 4);
          ASSERT_TRUE(std::isfinite(sample)) << "sample " << at / 4;
        }
      }
      if (&device != &devices[0])
        continue;
      // The frames at the variant's level (within 1 %, for the conversions'
      // rounding) and the other frames that are not silent.
      const auto near = [](int16_t got, int16_t want) {
        return std::abs(got - want) <= 2 + std::abs(want) / 100;
      };
      long at_level = 0;
      long other = 0;
      for (size_t at = 0; at + 4 <= samples->size(); at += 4) {
        int16_t left = 0;
        int16_t right = 0;
        std::memcpy(&left, samples->data() + at, 2);
        std::memcpy(&right, samples->data() + at + 2, 2);
        if (left != 0 || right != 0)
          ++(near(left, variant.left) && near(right, variant.right) ? at_level : other);
      }
      if (variant.heard == Heard::kWhole) {
        EXPECT_NEAR(at_level, variant.frames, variant.frame_slack);
      } else {
        EXPECT_LE(at_level, variant.frames);
      }
      EXPECT_LE(other, variant.frame_slack);
    }
  }
  // The device's own format passes through unchanged.
  const std::vector<uint8_t> same = PcmWav(44100, 2, 16, 1000, 1234);
  const auto samples = DecodeSoundForDevice(same.data(), same.size(), devices[0]);
  ASSERT_TRUE(samples);
  EXPECT_TRUE(std::equal(samples->begin(), samples->end(), same.end() - 4000, same.end()));
}

TEST(SoundDecode, SoundsTooLargeAndDevicesItCannotServeAreRefused) {
  const SDL_AudioSpec device = AudioDevice(44100, AUDIO_S16SYS, 2);
  const std::vector<uint8_t> wav = PcmWav(22050, 1, 16, 1000, 100);
  EXPECT_FALSE(DecodeSoundForDevice(nullptr, 0, device));
  // 2000 bytes become about 8000 at the device.
  EXPECT_FALSE(DecodeSoundForDevice(wav.data(), wav.size(), device, 4000));
  EXPECT_TRUE(DecodeSoundForDevice(wav.data(), wav.size(), device, 16000));
  EXPECT_FALSE(DecodeSoundForDevice(wav.data(), wav.size(), AudioDevice(44100, 0, 2)));
  // Cut anywhere: what is there plays, or nothing; never a crash.
  for (size_t cut = 0; cut < wav.size(); cut += 7)
    DecodeSoundForDevice(wav.data(), cut, device);
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

TEST_F(SoundPlayback, TheVolumeScalesEverySampleAndAMuteFadesOutWithoutAJump) {
  // Set in silence: the sound starts at its volume.
  sound_->SetVolume(50, false);
  sound_->PlaySync(Tone("pon.WAV", 100, 1000));
  sound_->SetVolume(100, false);
  sound_->PlayAsync(Tone("pin.WAV", 5000, 2000));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  sound_->SetVolume(100, true);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  Played();
  // The first tone at half its level, then the second whole until the mute,
  // which takes it down a step of 2000 * 128 / 65536 a frame, to silence.
  std::ifstream file(output_, std::ios::binary);
  int16_t frame[2];
  std::map<int16_t, long> before;  // the frames before the second tone
  int16_t last = 0;
  long fading = 0;
  long whole = 0;
  bool heard = false;
  while (file.read(reinterpret_cast<char*>(frame), sizeof frame)) {
    if (!heard && frame[0] == 2000)
      heard = true;
    else if (!heard)
      ++before[frame[0]];
    else
      ASSERT_LE(std::abs(frame[0] - last), 4) << "a click";
    if (heard && frame[0] == 2000)
      ++whole;
    if (heard && frame[0] > 0 && frame[0] < 2000)
      ++fading;
    last = frame[0];
  }
  EXPECT_EQ(before[500], Frames(100));
  EXPECT_EQ(before.size(), 2u) << "silence and the tone at 500";
  EXPECT_GT(whole, Frames(50));
  EXPECT_EQ(fading, 511) << "the fade's frames";
  EXPECT_EQ(last, 0);
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

TEST(Volume, ASampleTimesTheGainToTheNearestAndARampOf512FramesToANewOne) {
  EXPECT_EQ(GainOfVolume(50), 32768);
  EXPECT_EQ(GainOfVolume(33), 21627);  // 21626.88
  EXPECT_EQ(GainOfVolume(150), 65536);
  EXPECT_EQ(GainOfVolume(-5), 0);
  EXPECT_EQ(Scaled(1001, 32768), 501);  // 500.5, away from zero
  EXPECT_EQ(Scaled(-1001, 32768), -501);
  EXPECT_EQ(Scaled(999, 21627), 330);  // 329.67
  EXPECT_EQ(Scaled(-32768, 65536), -32768);
  EXPECT_EQ(Scaled(32767, 655), 327);  // 327.49

  // Stereo frames of 1000 and -1000 going to silence: 128 65536ths less each
  // frame, both channels alike, silent from the 512th frame on.
  std::vector<int16_t> samples;
  for (int frame = 0; frame < 600; ++frame)
    samples.insert(samples.end(), {1000, -1000});
  VolumeRamp ramp;
  ramp.SetTarget(0);
  ramp.Apply(samples.data(), 600, 2);
  EXPECT_EQ(samples[0], 998);  // 1000 * 65408 / 65536 = 998.05
  EXPECT_EQ(samples[1], -998);
  EXPECT_EQ(samples[2 * 255], 500);  // at 65536 - 256 * 128 = 32768
  EXPECT_EQ(samples[2 * 256], 498);  // 1000 * 32640 / 65536 = 498.05
  EXPECT_EQ(samples[2 * 511], 0);
  EXPECT_EQ(samples[2 * 599 + 1], 0);
  for (size_t i = 2; i < samples.size(); i += 2)
    ASSERT_LE(samples[i - 2] - samples[i], 2) << "a step at frame " << i / 2;
  // Back to full in the next call, and then as it was.
  std::vector<int16_t> again(2 * 600, 1000);
  ramp.SetTarget(kFullGain);
  ramp.Apply(again.data(), 600, 2);
  EXPECT_EQ(again[0], 2);  // 1000 * 128 / 65536 = 1.95
  EXPECT_EQ(again[2 * 599], 1000);
}

// The platform's sounds go to SDL; keys, clock and frames stay scripted.
// Records how long the longest sound call took.
class SoundsOnSdl : public testing::ScriptedPlatform {
 public:
  explicit SoundsOnSdl(Platform& sdl) : sdl_(sdl) {}
  void PlaySoundAsync(const std::string& file_name) override {
    Time([&] { sdl_.PlaySoundAsync(file_name); });
    ScriptedPlatform::PlaySoundAsync(file_name);
  }
  void PlaySoundSync(const std::string& file_name) override {
    Time([&] { sdl_.PlaySoundSync(file_name); });
    ScriptedPlatform::PlaySoundSync(file_name);
  }
  void StopSound() override {
    Time([&] { sdl_.StopSound(); });
    ScriptedPlatform::StopSound();
  }
  long Count(testing::SoundEvent::Kind kind, const std::string& file) const {
    return std::count_if(sounds.begin(), sounds.end(), [&](const testing::SoundEvent& event) {
      return event.kind == kind && event.file == file;
    });
  }

  double longest_call_seconds = 0;

 private:
  template <typename Call>
  void Time(Call call) {
    const Clock::time_point start = Clock::now();
    call();
    longest_call_seconds = std::max(longest_call_seconds, SecondsSince(start));
  }

  Platform& sdl_;
};

// SDL's dummy driver, whose thread wakes every buffer as a sound card's does.
TEST(SoundDevice, ClosesInSilenceAndOpensAgainForTheNextSoundOffTheCallersThread) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TempFolder folder;
  const std::string tone = folder.Write("pon.WAV", PcmWav(44100, 2, 16, 4410, 1000));
  {
    SdlSound sound(std::chrono::milliseconds(200));
    ASSERT_TRUE(sound.HasDevice());
    EXPECT_TRUE(sound.DeviceOpen());
    EXPECT_FALSE(sound.LastOpening()) << "the first opening only learns the format";
    const auto closed = [&sound] {
      const Clock::time_point give_up = Clock::now() + std::chrono::seconds(10);
      while (sound.DeviceOpen() && Clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
      return !sound.DeviceOpen();
    };
    ASSERT_TRUE(closed());
    // A sound: the call returns at once, the device opens for it and plays it.
    const Clock::time_point start = Clock::now();
    sound.PlayAsync(tone);
    EXPECT_LT(SecondsSince(start), 0.005);
    EXPECT_TRUE(sound.PlaySync(tone));
    const std::optional<DeviceOpening> opening = sound.LastOpening();
    ASSERT_TRUE(opening);
    EXPECT_GT(opening->first_samples.count(), 0);
    EXPECT_TRUE(sound.DeviceOpen());
    ASSERT_TRUE(closed());
    for (int look = 0; look < 60; ++look) {  // and stays closed until a sound asks for it
      ASSERT_FALSE(sound.DeviceOpen()) << "opened with no sound to play, look " << look;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(sound.PlaySync(tone)) << "heard once more after a second rest";
  }
  // The disk driver's file holds the whole run: that device stays open.
  TempFolder other;
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", other.File("device.raw").c_str(), 1);
  SdlSound disk(std::chrono::milliseconds(50));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_TRUE(disk.DeviceOpen());
  unsetenv("SDL_DISKAUDIOFILE");
}

// The silence the device waits through counts from the last sound's end:
// never while it plays, nor from its start.
TEST(SoundDevice, RestsOnlyAWholeSilenceAfterTheLastSoundEnded) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  TempFolder folder;
  // 850 ms of sound against a rest of 300: the device's keeper looks at it
  // every 300 ms while it plays, so a rest counted wrongly ends well before
  // 850 + 300 ms (a busy machine only makes the device close later).
  const std::string tone = folder.Write("pupu.WAV", PcmWav(44100, 2, 16, 441 * 85, 1000));
  SdlSound sound(std::chrono::milliseconds(300));
  ASSERT_TRUE(sound.HasDevice());
  const Clock::time_point start = Clock::now();
  Clock::time_point closed_at{};
  std::thread watcher([&] {
    while (sound.DeviceOpen() && Clock::now() < start + std::chrono::seconds(10))
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    closed_at = Clock::now();
  });
  EXPECT_TRUE(sound.PlaySync(tone));
  watcher.join();
  EXPECT_GE(closed_at - start, std::chrono::milliseconds(850 + 300 - 50));
}

// No audio device: SDL is told to use a driver that does not exist. The
// game's four sounds last a minute each here, so any of them that held the
// game would show.
TEST(NoAudioDevice, TheGamePlaysSilentlyAndNoSoundHoldsIt) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  TempFolder folder;
  for (const char* name : {"pon.WAV", "pin.WAV", "pupu.WAV", "pipopin.WAV"}) {
    folder.Write(name, testing::PcmWav(44100, 1, 16, 60 * 44100, 5000));
  }
  testing::WorkingDirectory in_folder(folder.Path());

  using Kind = testing::SoundEvent::Kind;
  long misses = 0;
  long points = 0;
  double longest_call = 0;
  ::testing::internal::CaptureStderr();
  const int status = RunOnSdl([&](SdlPlatform& sdl) {
    SoundsOnSdl platform(sdl);
    FormMain form(platform);
    MainLoop loop(form, platform);
    // Space through the menus; in a rally the autopilot plays one point and
    // stands still for the next, so the player both wins and loses points.
    testing::Autopilot pilot;
    platform.key_script = [&form, &pilot, space = false](int64_t, KeySnapshot& keys) mutable {
      const GameRecord& r = form.Record;
      if (r.State == kStateRally) {
        if ((r.PlayerPoints + r.ComPoints) % 2 == 0)
          pilot.Steer(r, keys);
        return;
      }
      space = !space;
      if (space)
        keys[kVkSpace] = kKeyDownBit;
    };
    for (int64_t pass = 0; pass < 500'000 && (misses < 2 || points < 2); ++pass) {
      if (loop.Run(1) != LoopEnd::kLimit)
        return 2;
      misses = platform.Count(Kind::kSync, "pupu.WAV");
      points = platform.Count(Kind::kSync, "pipopin.WAV");
    }
    longest_call = platform.longest_call_seconds;
    return 0;
  });
  const std::string complaints = ::testing::internal::GetCapturedStderr();
  unsetenv("SDL_VIDEODRIVER");

  EXPECT_EQ(status, 0);
  EXPECT_EQ(complaints, "") << "no message about the missing sound";
  EXPECT_GE(misses, 2);
  EXPECT_GE(points, 2);
  EXPECT_LT(longest_call, 30.0) << "a sound call waited for a sound nobody can hear";
}

}  // namespace
}  // namespace rallix
