// A small libretro frontend of our own: it loads the built core,
// rallix_libretro.so, with dlopen as RetroArch does, drives it through its
// entry points headless and looks at what it hands over. A golden save state
// (tests/data/states/, written anew with RALLIX_UPDATE_GOLDEN=1 when a change
// of the format is meant) pins the state's bytes.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

#include "demo/crc32.h"
#include "demo/state_format.h"
#include "game/form_main.h"
#include "game/main_loop.h"
#include "libretro/core_state.h"
#include "libretro/libretro_api.h"
#include "tests/support/scripted_platform.h"

namespace rallix::testing {
namespace {

// What the core handed over in one run.
struct RunOutput {
  std::vector<uint32_t> frame;
  std::vector<int16_t> audio;  // interleaved stereo frames
};

// The one core loaded, and what its callbacks saw; the callbacks are plain
// functions, so they find it here.
struct Frontend {
  void* library = nullptr;
  RunOutput last;
  int16_t (*pad)(unsigned run, unsigned id) = nullptr;  // the pad's buttons, by run
  unsigned run = 0;
  bool shutdown_asked = false;
  bool refuse_pixel_format = false;
  retro_keyboard_event_t keyboard = nullptr;
  std::string said;  // the core's last message
};
Frontend frontend;

bool Environment(unsigned command, void* data) {
  if (command == RETRO_ENVIRONMENT_SHUTDOWN)
    frontend.shutdown_asked = true;
  if (command == RETRO_ENVIRONMENT_SET_MESSAGE)
    frontend.said = static_cast<const retro_message*>(data)->msg;
  if (command == RETRO_ENVIRONMENT_SET_KEYBOARD_CALLBACK)
    frontend.keyboard = static_cast<const retro_keyboard_callback*>(data)->callback;
  if (command == RETRO_ENVIRONMENT_SET_PIXEL_FORMAT)
    return !frontend.refuse_pixel_format &&
           *static_cast<const retro_pixel_format*>(data) == RETRO_PIXEL_FORMAT_XRGB8888;
  return true;
}
void Video(const void* data, unsigned width, unsigned height, size_t pitch) {
  ASSERT_TRUE(data != nullptr && width == 640 && height == 480 && pitch == 640 * 4);
  const auto* pixels = static_cast<const uint32_t*>(data);
  frontend.last.frame.assign(pixels, pixels + 640 * 480);
}
size_t Audio(const int16_t* data, size_t frames) {
  frontend.last.audio.insert(frontend.last.audio.end(), data, data + 2 * frames);
  return frames;
}
void Poll() {}
int16_t Input(unsigned port, unsigned device, unsigned, unsigned id) {
  if (port != 0 || device != RETRO_DEVICE_JOYPAD || frontend.pad == nullptr)
    return 0;
  return frontend.pad(frontend.run, id);
}

// A hash of a run's frame or audio (the standard library's, built optimised:
// the test's own code is not).
template <typename T>
uint64_t Hash(const std::vector<T>& values) {
  return std::hash<std::string_view>{}(
      std::string_view(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(T)));
}

template <typename F>
F Entry(const char* name) {
  void* entry = dlsym(frontend.library, name);
  EXPECT_NE(entry, nullptr) << name;
  return reinterpret_cast<F>(entry);
}

class CoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    frontend = Frontend{};
    frontend.library = dlopen(RALLIX_LIBRETRO_CORE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(frontend.library, nullptr) << dlerror();
    Entry<void (*)(retro_environment_t)>("retro_set_environment")(Environment);
    Entry<void (*)()>("retro_init")();
    ASSERT_TRUE(Entry<bool (*)(const retro_game_info*)>("retro_load_game")(nullptr));
    // Handed over after the game is loaded, as RetroArch does.
    Entry<void (*)(retro_video_refresh_t)>("retro_set_video_refresh")(Video);
    Entry<void (*)(retro_audio_sample_batch_t)>("retro_set_audio_sample_batch")(Audio);
    Entry<void (*)(retro_input_poll_t)>("retro_set_input_poll")(Poll);
    Entry<void (*)(retro_input_state_t)>("retro_set_input_state")(Input);
    run_ = Entry<void (*)()>("retro_run");
    size_ = Entry<size_t (*)()>("retro_serialize_size");
    save_ = Entry<bool (*)(void*, size_t)>("retro_serialize");
    load_ = Entry<bool (*)(const void*, size_t)>("retro_unserialize");
  }
  void TearDown() override {
    Entry<void (*)()>("retro_unload_game")();
    Entry<void (*)()>("retro_deinit")();
    dlclose(frontend.library);
  }

  // What the run handed over, until the next run.
  const RunOutput& Run() {
    frontend.last.frame.clear();  // their room kept for the next run's
    frontend.last.audio.clear();
    run_();
    ++frontend.run;
    return frontend.last;
  }
  // The frame and the audio of `count` runs, as one hash a run.
  std::vector<uint64_t> Runs(int count) {
    std::vector<uint64_t> hashes;
    for (int i = 0; i < count; ++i) {
      const RunOutput& out = Run();
      hashes.push_back(Hash(out.frame) ^ (Hash(out.audio) * 3));
    }
    return hashes;
  }
  std::vector<uint8_t> Save() {
    std::vector<uint8_t> state(size_());
    EXPECT_TRUE(save_(state.data(), state.size()));
    return state;
  }
  // The state after `edit` of its fields, its checksum made right.
  template <typename Edit>
  static std::vector<uint8_t> Edited(const std::vector<uint8_t>& state, Edit edit) {
    libretro::SaveState fields;
    StateReader reader(state.data(), state.size());
    fields.Fields(reader);
    EXPECT_EQ(reader.Finish(), "");
    edit(fields);
    std::vector<uint8_t> edited(state.size());
    StateWriter writer(edited.data());
    fields.Fields(writer);
    EXPECT_TRUE(writer.Finish());
    return edited;
  }

  void (*run_)() = nullptr;
  size_t (*size_)() = nullptr;
  bool (*save_)(void*, size_t) = nullptr;
  bool (*load_)(const void*, size_t) = nullptr;
};

// "GAME START" with B on the second run, then the player's paddle goes right
// and left by turns while the computer plays on.
int16_t StartAndSway(unsigned run, unsigned id) {
  if (id == RETRO_DEVICE_ID_JOYPAD_B)
    return run == 1 ? 1 : 0;
  if (id == RETRO_DEVICE_ID_JOYPAD_RIGHT)
    return run % 40 < 12 ? 1 : 0;
  if (id == RETRO_DEVICE_ID_JOYPAD_LEFT)
    return run % 40 >= 20 && run % 40 < 32 ? 1 : 0;
  return 0;
}

TEST_F(CoreTest, TitleIsTheHeadlessGamesFrameAtTheGamesPace) {
  retro_system_av_info av{};
  Entry<void (*)(retro_system_av_info*)>("retro_get_system_av_info")(&av);
  EXPECT_EQ(av.geometry.base_width, 640u);
  EXPECT_EQ(av.geometry.base_height, 480u);
  EXPECT_FLOAT_EQ(av.geometry.aspect_ratio, 4.0f / 3.0f);
  EXPECT_NEAR(av.timing.fps, 58.8235, 1e-4);  // one pass each 17 ms
  EXPECT_EQ(av.timing.sample_rate, 44100.0);

  ScriptedPlatform platform;
  FormMain form(platform);
  MainLoop(form, platform).Run(1);
  const RunOutput out = Run();
  ASSERT_EQ(out.frame.size(), 640u * 480u);
  for (int y = 0; y < 480; ++y) {
    for (int x = 0; x < 640; ++x) {
      const uint32_t expected = platform.last_frame.At(x, y) == kBlack ? 0x000000 : 0xFFFFFF;
      ASSERT_EQ(out.frame[y * 640 + x], expected) << x << ", " << y;
    }
  }
}

TEST_F(CoreTest, AFrontendThatRefusesThePixelFormatGetsNoGame) {
  const auto load = Entry<bool (*)(const retro_game_info*)>("retro_load_game");
  Entry<void (*)()>("retro_unload_game")();
  frontend.refuse_pixel_format = true;
  EXPECT_FALSE(load(nullptr));
  frontend.refuse_pixel_format = false;
  EXPECT_TRUE(load(nullptr));
}

TEST_F(CoreTest, TheKeyboardsSpaceStartsAGameItsPPausesItAndAPausedStateShowsItsFrame) {
  ASSERT_NE(frontend.keyboard, nullptr);
  const auto frames = [&](int count) {
    std::vector<uint64_t> hashes;
    for (int i = 0; i < count; ++i)
      hashes.push_back(Hash(Run().frame));
    return hashes;
  };
  const std::vector<uint64_t> title = frames(2);
  EXPECT_EQ(title[0], title[1]);
  // A held P's repeated presses pause once, and Space pressed while paused
  // is forgotten: the title stays when the game goes on.
  frontend.keyboard(true, RETROK_p, 'p', 0);
  Run();
  frontend.keyboard(true, RETROK_p, 'p', 0);
  frontend.keyboard(true, RETROK_SPACE, ' ', 0);
  frontend.keyboard(false, RETROK_SPACE, ' ', 0);
  Run();
  frontend.keyboard(false, RETROK_p, 'p', 0);
  frontend.keyboard(true, RETROK_p, 'p', 0);
  frontend.keyboard(false, RETROK_p, 'p', 0);
  EXPECT_EQ(frames(3), std::vector<uint64_t>(3, title[0]));
  // A tap between two runs still counts.
  frontend.keyboard(true, RETROK_SPACE, ' ', 0);
  frontend.keyboard(false, RETROK_SPACE, ' ', 0);
  std::vector<uint64_t> play = frames(30);
  EXPECT_NE(play[2], title[0]);   // the court, from the pass after the one Space chose in
  EXPECT_NE(play[28], play[29]);  // the ball moves
  frontend.keyboard(true, RETROK_p, 'p', 0);
  frontend.keyboard(false, RETROK_p, 'p', 0);
  play = frames(30);
  EXPECT_EQ(play[0], play[29]);  // paused: nothing moves
  const uint64_t still = play[0];
  const std::vector<uint8_t> paused = Save();
  frontend.keyboard(true, RETROK_p, 'p', 0);
  frontend.keyboard(false, RETROK_p, 'p', 0);
  play = frames(2);
  EXPECT_NE(play[0], play[1]);
  // A state taken while paused shows its frame again, though no pass composes one.
  ASSERT_TRUE(load_(paused.data(), paused.size()));
  EXPECT_EQ(frames(1), std::vector<uint64_t>{still});
}

// A sound as the core hands it over: the file's samples (16-bit mono at
// 22050 Hz after the 44-byte header tools/wav_file.cpp writes), each twice
// (to 44100 Hz) on both channels.
std::vector<int16_t> HandedOver(const char* file) {
  std::ifstream in(std::string(RALLIX_SOURCE_DIR) + "/assets/" + file, std::ios::binary);
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
  std::vector<int16_t> samples((bytes.size() - 44) / 2);
  std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
  std::vector<int16_t> out;
  for (int16_t sample : samples)
    out.insert(out.end(), 4, sample);
  return out;
}

// The first run whose audio begins with `sound`, or the number of runs.
size_t RunStarting(const std::vector<int16_t>& heard, const std::vector<size_t>& run_starts,
                   const std::vector<int16_t>& sound) {
  size_t run = 0;
  while (run < run_starts.size() &&
         (run_starts[run] + sound.size() > heard.size() ||
          std::memcmp(&heard[run_starts[run]], sound.data(), sound.size() * 2) != 0)) {
    ++run;
  }
  return run;
}

TEST_F(CoreTest, AudioOfEachRunSumsToTheRateAndAMissHoldsTheGameWhilePupuIsHeard) {
  frontend.pad = StartAndSway;
  std::vector<int16_t> heard;
  std::vector<size_t> run_starts;  // where each run's audio begins in `heard`
  std::vector<uint64_t> frames;
  for (int run = 0; run < 1000; ++run) {
    const RunOutput& out = Run();
    const size_t run_frames = out.audio.size() / 2;
    ASSERT_TRUE(run_frames == 749 || run_frames == 750) << run;
    run_starts.push_back(heard.size());
    heard.insert(heard.end(), out.audio.begin(), out.audio.end());
    frames.push_back(Hash(out.frame));
  }
  // 44100 frames a second, 17 ms a run: 749.7 a run, in whole frames.
  EXPECT_EQ(heard.size() / 2, 749700u);

  // The first hit of a paddle and the player's first miss (pupu.WAV, 11466
  // samples), each sound whole from the start of a run's audio, where the
  // game has them with these keys.
  EXPECT_EQ(RunStarting(heard, run_starts, HandedOver("pon.WAV")), 51u);
  const std::vector<int16_t> pupu = HandedOver("pupu.WAV");
  ASSERT_EQ(pupu.size(), 4u * 11466);
  const size_t run = RunStarting(heard, run_starts, pupu);
  ASSERT_EQ(run, 158u);
  const size_t start = run_starts[run];
  // 22932 frames: the miss's run and the 30 after it hand it over, and show
  // the frame before the miss; the last of them shows the court after it.
  EXPECT_LT(run_starts[run + 30], start + pupu.size());
  EXPECT_GE(run_starts[run + 31], start + pupu.size());
  for (size_t held = run; held < run + 30; ++held)
    EXPECT_EQ(frames[held], frames[run - 1]) << held - run;
  EXPECT_NE(frames[run + 30], frames[run - 1]);
}

TEST_F(CoreTest, StateMidRallyReplaysTheNext600RunsAndDamagedOrForeignOnesAreRefused) {
  frontend.pad = StartAndSway;
  Runs(90);  // the serve and well into the rally
  const size_t size = size_();
  EXPECT_LT(size, 100000u);
  const std::vector<uint8_t> state = Save();
  const std::vector<uint64_t> first = Runs(600);
  EXPECT_EQ(size_(), size);  // fixed
  ASSERT_TRUE(load_(state.data(), state.size()));
  frontend.run = 90;
  EXPECT_EQ(Runs(600), first);

  // Refused, and the game goes on as if they had not been offered.
  ASSERT_TRUE(load_(state.data(), state.size()));
  frontend.run = 90;
  std::vector<uint8_t> foreign = state;
  foreign[7] ^= 1;  // another version of the game, checksum and all
  const uint32_t crc = Crc32(foreign.data(), size - 4);
  std::memcpy(foreign.data() + size - 4, &crc, 4);
  std::vector<uint8_t> other_game(size, 0x5A);
  EXPECT_FALSE(load_(foreign.data(), size));
  EXPECT_FALSE(load_(other_game.data(), size));
  EXPECT_FALSE(load_(state.data(), size - 1));
  EXPECT_NE(frontend.said.find("not a whole state"), std::string::npos) << frontend.said;
  std::vector<uint8_t> short_of_room(size - 1);
  EXPECT_FALSE(save_(short_of_room.data(), short_of_room.size()));
  EXPECT_EQ(Runs(600), first);

  // A bit changed anywhere, in the fields or after, is refused; in a field
  // with the checksum made right, it is refused or is a state the game itself
  // writes just so.
  const size_t end = 18 + (state[14] | state[15] << 8);
  for (size_t at = 0; at < size; ++at) {
    for (const uint8_t bit : {0x01, 0x02, 0x80}) {
      std::vector<uint8_t> changed = state;
      changed[at] ^= bit;
      EXPECT_FALSE(load_(changed.data(), size)) << at;
      const uint32_t sum = Crc32(changed.data(), end);
      std::memcpy(changed.data() + end, &sum, 4);
      if (at >= 18 && at < end && load_(changed.data(), size)) {
        EXPECT_TRUE(Save() == changed) << at << " ^ " << int{bit};
      }
    }
  }
}

// The moment a sound holds the game after the player's first miss (pupu.WAV
// from run 158): the rally's last frame on screen, the court after the miss
// waiting for the sound's end.
TEST_F(CoreTest, TheGoldenStateHoldsAMissAndPlaysOnAsTheGameItWasTakenFrom) {
  frontend.pad = StartAndSway;
  Runs(165);
  const std::vector<uint8_t> state = Save();
  const std::string golden = std::string(RALLIX_SOURCE_DIR) + "/tests/data/states/first_miss.state";
  const char* update = std::getenv("RALLIX_UPDATE_GOLDEN");
  if (update != nullptr && std::string(update) == "1")
    std::ofstream(golden, std::ios::binary)
        .write(reinterpret_cast<const char*>(state.data()),
               static_cast<std::streamsize>(state.size()));
  std::ifstream in(golden, std::ios::binary);
  const std::vector<uint8_t> pinned((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(pinned.size(), 4096u) << "record it with RALLIX_UPDATE_GOLDEN=1";
  EXPECT_TRUE(pinned == state) << "the state's bytes changed";

  const std::vector<uint64_t> after = Runs(120);
  ASSERT_TRUE(load_(pinned.data(), pinned.size()));
  frontend.run = 165;
  EXPECT_EQ(Runs(120), after);
  // A core just started, that has never held a sound itself, plays on alike.
  TearDown();
  SetUp();
  frontend.pad = StartAndSway;
  ASSERT_TRUE(load_(pinned.data(), pinned.size()));
  frontend.run = 165;
  EXPECT_EQ(Runs(120), after);
}

TEST_F(CoreTest, AStateTheGameCouldNotReachIsRefusedSayingWhyAndTheGameGoesOn) {
  std::ifstream in(std::string(RALLIX_SOURCE_DIR) + "/tests/data/states/first_miss.state",
                   std::ios::binary);
  const std::vector<uint8_t> golden((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(golden.size(), 4096u);
  using State = libretro::SaveState;
  const std::pair<const char*, std::function<void(State&)>> unreachable[] = {
      {"the runs", [](State& s) { s.core.runs = UINT64_MAX - 10; }},
      {"the passes", [](State& s) { s.loop.passes = INT64_MAX; }},
      {"more passes than runs", [](State& s) { s.loop.passes = int64_t(s.core.runs) + 1; }},
      {"State", [](State& s) { s.record.State = 0; }},
      {"State", [](State& s) { s.record.State = 8; }},
      {"PlayerPaddleKind", [](State& s) { s.record.PlayerPaddleKind = 3; }},
      {"ComPaddleKind", [](State& s) { s.record.ComPaddleKind = -1; }},
      {"PlayerX", [](State& s) { s.record.PlayerX = 32767; }},
      {"BallX", [](State& s) { s.record.BallX = HUGE_VAL; }},
      {"BallY", [](State& s) { s.record.BallY = NAN; }},
      {"BallVY", [](State& s) { s.record.BallVY = 1e300; }},
      {"Score", [](State& s) { s.record.Score = 305100; }},
      {"StateEntered", [](State& s) { s.record.StateEntered = 1; }},
      {"CursorX", [](State& s) { s.record.Screen.CursorX = 40; }},
      {"the grid", [](State& s) { s.record.Screen.Grid.Put(5, 5, '\x01'); }},
      {"the grid",  // the last cell of a run of eleven
       [](State& s) {
         for (int x = 10; x < 20; ++x)
           s.record.Screen.Grid.Put(x, 12, 'a');
         s.record.Screen.Grid.Put(20, 12, '\x01');
       }},
      {"a frame's cells",
       [](State& s) {
         s.last.cells.push_back({3, 30, '-'});
       }},
      {"CellSprites",
       [](State& s) {
         s.record.Screen.CellSprites.push_back({0, 30, 'O'});  // a row past the grid
         s.record.Screen.CellSpriteCount = 1;
       }},
      {"queues",
       [](State& s) {
         s.record.Screen.PixelSprites.push_back({80, 32, 'O'});
         s.record.Screen.PixelSpriteCount = 1;
       }},
      {"trap", [](State& s) { s.loop.trap_spent = true; }},
      {"trap does not go", [](State& s) { s.loop.trap_armed = false; }},
      {"the sound", [](State& s) { s.core.sound = 4; }},
      {"its sound", [](State& s) { s.core.heard = 22932; }},  // pupu.WAV's length
      {"no sound", [](State& s) { s.core.holding = false; }},
      {"holds the game for no sound",
       [](State& s) {
         s.core.sound = -1;
         s.core.heard = 0;
       }},
      {"other than the last", [](State& s) { s.core.waiting = false; }},
  };
  Runs(10);
  const std::vector<uint8_t> before = Save();
  for (const auto& [why, edit] : unreachable) {
    const std::vector<uint8_t> state = Edited(golden, edit);
    EXPECT_FALSE(load_(state.data(), state.size())) << why;
    EXPECT_NE(frontend.said.find(why), std::string::npos) << why << ": " << frontend.said;
  }
  std::vector<uint8_t> old_format = golden;  // the format of 80054 bytes, version 1
  old_format[4] = 1;
  EXPECT_FALSE(load_(old_format.data(), old_format.size()));
  EXPECT_NE(frontend.said.find("another version"), std::string::npos) << frontend.said;
  // Its fields cut a byte short, or two zeros longer, the checksum made right.
  const size_t length = golden[14] | golden[15] << 8;
  for (const auto& [fields, why] : {std::pair{length - 1, "its fields end too soon"},
                                    std::pair{length + 2, "do not end where it says"}}) {
    std::vector<uint8_t> state(golden.begin(), golden.begin() + 18 + std::min(fields, length));
    state[14] = fields & 0xFF;
    state[15] = uint8_t(fields >> 8);
    state.resize(18 + fields + 4);
    const uint32_t sum = Crc32(state.data(), 18 + fields);
    std::memcpy(state.data() + 18 + fields, &sum, 4);
    state.resize(golden.size());
    EXPECT_FALSE(load_(state.data(), state.size())) << why;
    EXPECT_NE(frontend.said.find(why), std::string::npos) << why << ": " << frontend.said;
  }
  EXPECT_TRUE(Save() == before);
  EXPECT_TRUE(load_(golden.data(), golden.size()));
  // The edges of what the game holds are taken.
  const std::vector<uint8_t> edges = Edited(golden, [](State& s) {
    s.last.cells.insert(s.last.cells.end(), {{0, 0, ' '}, {39, 29, '~'}});
    s.record.Screen.Grid.Put(39, 29, '~');
    s.record.BallX = kBallArea.most_x;
    s.record.BallVY = -kMostBallSpeed;
  });
  EXPECT_TRUE(load_(edges.data(), edges.size())) << frontend.said;
  // A game whose trap is spent traps no later error once loaded.
  const std::vector<uint8_t> spent = Edited(golden, [](State& s) {
    s.loop.trap_spent = true;
    s.loop.trap_armed = false;
  });
  ASSERT_TRUE(load_(spent.data(), spent.size())) << frontend.said;
  Runs(40);  // past the sound's hold
  Edited(Save(), [](State& s) { EXPECT_TRUE(s.loop.trap_spent && !s.loop.trap_armed); });
}

TEST(StateWriter, FieldsThatDoNotFitAreNotWrittenPastTheStatesEnd) {
  TextGrid full;
  std::fill_n(full.Cells(), TextGrid::kCells, 'x');
  std::vector<uint8_t> room(kStateBytes + 64, 0xAB);
  StateWriter writer(room.data());
  for (int grid = 0; grid < 4; ++grid)  // 1,206 bytes each
    writer.Grid("a grid", full, TextGrid());
  EXPECT_FALSE(writer.Finish());
  EXPECT_EQ(std::count(room.begin() + kStateBytes, room.end(), 0xAB), 64);
}

TEST_F(CoreTest, AResetWithNoGameLoadedStartsNone) {
  Entry<void (*)()>("retro_unload_game")();
  Entry<void (*)()>("retro_reset")();
  EXPECT_TRUE(Run().frame.empty());
  std::vector<uint8_t> state(size_());
  EXPECT_FALSE(save_(state.data(), state.size()));
}

}  // namespace
}  // namespace rallix::testing
