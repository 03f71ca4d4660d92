// The SDL platform's window side: the key snapshot, the message pump, clock
// and error report on SDL's dummy video driver, the window's place and the
// built-in icon.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sdl/app/desktop_platform.h"
#include "sdl/input/key_map.h"
#include "sdl/video/window_icon.h"
#include "sdl/video/window_placement.h"
#include "tests/support/dummy_window.h"

namespace rallix {

extern const uint8_t kWindowIconBmp[];
extern const size_t kWindowIconBmpSize;
extern const uint8_t kSmallWindowIconBmp[];
extern const size_t kSmallWindowIconBmpSize;

namespace {

TEST(KeySnapshot, TheFiveGameKeysBecomeTheirVirtualKeysAndNothingElseShows) {
  std::vector<Uint8> states(SDL_NUM_SCANCODES, 0);
  KeySnapshot keys;
  keys.fill(0x55);
  FillKeySnapshot(states.data(), SDL_NUM_SCANCODES, keys);
  for (uint8_t byte : keys)
    ASSERT_EQ(byte, 0);

  const std::pair<SDL_Scancode, uint8_t> pairs[] = {{SDL_SCANCODE_SPACE, 0x20},
                                                    {SDL_SCANCODE_LEFT, 0x25},
                                                    {SDL_SCANCODE_UP, 0x26},
                                                    {SDL_SCANCODE_RIGHT, 0x27},
                                                    {SDL_SCANCODE_DOWN, 0x28}};
  for (const auto& [scancode, virtual_key] : pairs) {
    std::fill(states.begin(), states.end(), 0);
    states[scancode] = 1;
    FillKeySnapshot(states.data(), SDL_NUM_SCANCODES, keys);
    for (int code = 0; code < 256; ++code) {
      EXPECT_EQ(keys[code], code == virtual_key ? 0x80 : 0) << "scancode " << scancode;
    }
  }

  // Every other key down, the game's five up: an empty snapshot (the keypad
  // arrows and letters that share codes with the arrows included).
  std::fill(states.begin(), states.end(), 1);
  for (const auto& pair : pairs)
    states[pair.first] = 0;
  FillKeySnapshot(states.data(), SDL_NUM_SCANCODES, keys);
  for (uint8_t byte : keys)
    ASSERT_EQ(byte, 0);

  // A short or missing state array reads as all keys up.
  std::fill(states.begin(), states.end(), 1);
  FillKeySnapshot(states.data(), SDL_SCANCODE_SPACE, keys);
  for (uint8_t byte : keys)
    ASSERT_EQ(byte, 0);
  FillKeySnapshot(nullptr, 0, keys);
  for (uint8_t byte : keys)
    ASSERT_EQ(byte, 0);
}

TEST(KeySnapshot, TheStickHoldsNothingWithinHalfItsRangeAndUpToTwoArrowsBeyond) {
  const auto arrows = [](int x, int y) {
    KeySnapshot keys{};
    AddStickKeys(x, y, keys);
    std::string held;
    for (const auto& [key, name] : {std::pair{kVkLeft, 'L'}, std::pair{kVkUp, 'U'},
                                    std::pair{kVkRight, 'R'}, std::pair{kVkDown, 'D'}}) {
      if (IsKeyDown(keys, key))
        held += name;
    }
    return held;
  };
  EXPECT_EQ(arrows(0, 0), "");
  EXPECT_EQ(arrows(16383, 0), "");
  EXPECT_EQ(arrows(-11000, 11000), "") << "a diagonal inside the circle";
  EXPECT_EQ(arrows(16384, 0), "R");
  EXPECT_EQ(arrows(-32768, 0), "L");
  EXPECT_EQ(arrows(0, 32767), "D");
  EXPECT_EQ(arrows(-23170, -23170), "LU");
  EXPECT_EQ(arrows(30000, 10000), "R") << "18 degrees from Right, 72 from Down";
  EXPECT_EQ(arrows(30000, 14000), "RD") << "25 degrees from Right, 65 from Down";
}

// The platform's message pump, clock, keys and error report on the dummy
// window, with no sound device.
class DummyPlatform : public testing::DummyWindowTest {
 protected:
  void SetUp() override {
    // With a display, SDL would show the fatal error's message box there and
    // wait for someone to dismiss it.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    DummyWindowTest::SetUp();
    sound_ = std::make_unique<SdlSound>();
  }
  std::unique_ptr<SdlSound> sound_;
};

TEST_F(DummyPlatform, CloseAndQuitEventsEndTheGame) {
  SdlPlatform platform(window_, *sound_);
  EXPECT_TRUE(platform.ProcessMessages());
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  EXPECT_FALSE(platform.ProcessMessages());
  EXPECT_TRUE(platform.ProcessMessages()) << "every pending event was handled";
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  ASSERT_EQ(SDL_PushEvent(&quit), 1);
  PushWindowEvent(SDL_WINDOWEVENT_EXPOSED);
  EXPECT_FALSE(platform.ProcessMessages());
}

TEST_F(DummyPlatform, ClockSleepKeysAndFatalErrorReport) {
  SdlPlatform platform(window_, *sound_);
  // The sleep ends at the deadline on the game's own clock, not before.
  const int32_t before = platform.TimeGetTime();
  const auto start = std::chrono::steady_clock::now();
  platform.SleepUntil(before + 20);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(19));
  EXPECT_GE(platform.TimeGetTime() - before, 20);
  // A deadline already passed returns at once.
  const auto again = std::chrono::steady_clock::now();
  platform.SleepUntil(before);
  platform.SleepUntil(before - 1000000);
  EXPECT_LT(std::chrono::steady_clock::now() - again, std::chrono::seconds(1));

  KeySnapshot keys;
  keys.fill(0xFF);
  platform.ProcessMessages();
  platform.GetKeyboardState(keys);
  for (uint8_t byte : keys)
    ASSERT_EQ(byte, 0);

  // The dummy driver has no message box, so the report does not wait.
  ::testing::internal::CaptureStderr();
  platform.ReportFatalError("Run-time error '6': Overflow");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "rallix: Run-time error '6': Overflow\n");

  // Without a sound device every sound call returns at once.
  platform.PlaySoundSync("pupu.WAV");
  platform.PlaySoundAsync("pon.WAV");
  platform.StopSound();
}

TEST(WindowPlacement, TheOuterFrameIsCentredOnTheScreen) {
  // On a 1024 x 768 screen a frame of 650 x 510 around the 640 x 480 client
  // area has its corner at (187, 129).
  const WindowBorders frame{25, 5, 5, 5};
  SDL_Point client = FrameCentredClientPosition(SDL_Rect{0, 0, 1024, 768}, 640, 480, frame);
  EXPECT_EQ(client.x, 187 + 5);
  EXPECT_EQ(client.y, 129 + 25);
  // Without borders the client area is centred, here on a second screen.
  client = FrameCentredClientPosition(SDL_Rect{1024, 0, 1280, 1024}, 640, 480, WindowBorders{});
  EXPECT_EQ(client.x, 1024 + 320);
  EXPECT_EQ(client.y, 272);
}

TEST(WindowIcon, TheBuiltInIconsDecodeAndBadBytesDoNot) {
  SDL_Surface* icon = DecodeIconBmp(kWindowIconBmp, kWindowIconBmpSize);
  ASSERT_NE(icon, nullptr) << SDL_GetError();
  EXPECT_EQ(icon->w, 32);
  EXPECT_EQ(icon->h, 32);
  SDL_FreeSurface(icon);
  icon = DecodeIconBmp(kSmallWindowIconBmp, kSmallWindowIconBmpSize);
  ASSERT_NE(icon, nullptr) << SDL_GetError();
  EXPECT_EQ(icon->w, 16);
  EXPECT_EQ(icon->h, 16);
  SDL_FreeSurface(icon);

  const std::vector<uint8_t> garbage(200, 0x42);
  EXPECT_EQ(DecodeIconBmp(garbage.data(), garbage.size()), nullptr);
  EXPECT_EQ(DecodeIconBmp(kWindowIconBmp, 20), nullptr);
  EXPECT_EQ(DecodeIconBmp(nullptr, 0), nullptr);
}

}  // namespace
}  // namespace rallix
