// Bad and unusual sound files through the real sound player, on SDL's disk
// audio driver whose output file holds exactly what reached the "device";
// and the whole game on SDL with no audio device at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "game/form_main.h"
#include "game/main_loop.h"
#include "sdl/sdl_session.h"
#include "sdl/sdl_sound.h"
#include "sdl/sdl_sound_decode.h"
#include "tests/support/audio_device.h"
#include "tests/support/autopilot.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wav_variants.h"

namespace rallix {
namespace {

using Clock = std::chrono::steady_clock;
using testing::AudioDevice;
using testing::SoundVariant;
using testing::TempFolder;
using Heard = SoundVariant::Heard;

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

struct DeviceFrame {
  int16_t left;
  int16_t right;
};

// The frames of the disk driver's file: 16-bit stereo in the machine's order.
std::vector<DeviceFrame> ReadDeviceFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::vector<DeviceFrame> frames;
  DeviceFrame frame{};
  while (file.read(reinterpret_cast<char*>(&frame), sizeof frame))
    frames.push_back(frame);
  return frames;
}

// The frames at the variant's level (within 1 %, for the conversions'
// rounding) and the other frames that are not silent.
struct Tally {
  long at_level = 0;
  long other_sound = 0;
};

Tally Count(const std::vector<DeviceFrame>& frames, const SoundVariant& variant) {
  const auto near = [](int16_t got, int16_t want) {
    return std::abs(got - want) <= 2 + std::abs(want) / 100;
  };
  Tally tally;
  for (const DeviceFrame& frame : frames) {
    if (frame.left == 0 && frame.right == 0)
      continue;
    if (variant.heard != Heard::kNothing && near(frame.left, variant.left) &&
        near(frame.right, variant.right)) {
      ++tally.at_level;
    } else {
      ++tally.other_sound;
    }
  }
  return tally;
}

// Where the game looks for its sound: a file, nothing, or a folder.
struct SoundCase {
  enum class Place { kFile, kMissing, kFolder };
  Place place = Place::kFile;
  SoundVariant variant;
};

std::vector<SoundCase> Cases() {
  std::vector<SoundCase> cases;
  SoundCase missing;
  missing.place = SoundCase::Place::kMissing;
  missing.variant.name = "missing";
  cases.push_back(missing);
  SoundCase folder;
  folder.place = SoundCase::Place::kFolder;
  folder.variant.name = "folder";
  cases.push_back(folder);
  for (SoundVariant& variant : testing::SoundVariants()) {
    SoundCase file;
    file.variant = std::move(variant);
    cases.push_back(std::move(file));
  }
  return cases;
}

// The sound player on the disk driver, which grants the 16-bit stereo at
// 44100 Hz the player asks for.
class OddSoundFile : public ::testing::TestWithParam<SoundCase> {
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
  void TearDown() override {
    sound_.reset();
    unsetenv("SDL_DISKAUDIOFILE");
  }

  TempFolder folder_;
  std::string output_ = folder_.File("device.raw");
  SdlAllocationLimit limit_;
  std::unique_ptr<SdlSound> sound_;
};

TEST_P(OddSoundFile, PlaysWholeOrNotAtAllAndHoldsTheGameNoLongerThanItself) {
  const SoundCase& sound_case = GetParam();
  const SoundVariant& variant = sound_case.variant;
  const std::string path = folder_.File("pon.WAV");
  if (sound_case.place == SoundCase::Place::kFile)
    folder_.Write("pon.WAV", variant.bytes);
  if (sound_case.place == SoundCase::Place::kFolder) {
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
  }

  // Played to its end, then once more in the background.
  const Clock::time_point sync_start = Clock::now();
  sound_->PlaySync(path);
  const double sync_seconds = SecondsSince(sync_start);
  const Clock::time_point async_start = Clock::now();
  sound_->PlayAsync(path);
  const double async_seconds = SecondsSince(async_start);
  std::this_thread::sleep_for(std::chrono::duration<double>(variant.Seconds() + 0.4));
  sound_.reset();  // closes the device and its file

  // A file that cannot be played holds nothing up; one that can, no longer
  // than it lasts (with a second to spare on a loaded machine).
  EXPECT_LE(sync_seconds, variant.Seconds() + 1.0);
  EXPECT_LE(async_seconds, 1.0);
  if (variant.heard == Heard::kWhole) {
    EXPECT_GE(sync_seconds, 0.9 * variant.Seconds()) << "returned before the sound had played";
  }

  const Tally tally = Count(ReadDeviceFile(output_), variant);
  switch (variant.heard) {
    case Heard::kWhole:
      EXPECT_GE(tally.at_level, 2 * (variant.frames - variant.frame_slack));
      EXPECT_LE(tally.at_level, 2 * (variant.frames + variant.frame_slack));
      EXPECT_LE(tally.other_sound, 2 * variant.frame_slack);
      break;
    case Heard::kNothing:
      EXPECT_EQ(tally.other_sound, 0) << "a file that cannot be played must leave silence";
      break;
    case Heard::kNothingOrPart:
      EXPECT_LE(tally.at_level, 2 * variant.frames);
      EXPECT_LE(tally.other_sound, 2 * variant.frame_slack);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Variants, OddSoundFile, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<SoundCase>& info) {
                           std::string name = info.param.variant.name;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

// Whatever device SDL opens, every variant converts to whole device frames
// in the expected number, or is refused.
TEST(OddSoundDecode, EveryVariantConvertsForEveryDeviceOrIsRefused) {
  SdlAllocationLimit limit;
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
      const size_t whole_frames = samples->size() / frame;
      const double frames = static_cast<double>(whole_frames);
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
    }
  }
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
