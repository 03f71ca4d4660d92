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

#include "display/frame_png.h"
#include "sdl/app/desktop_platform.h"
#include "sdl/input/key_bindings.h"
#include "sdl/input/key_map.h"
#include "sdl/system/files.h"
#include "sdl/video/window_icon.h"
#include "sdl/video/window_placement.h"
#include "tests/support/dummy_window.h"
#include "tests/support/temp_folder.h"

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
  KeyBindings().Fill(states.data(), SDL_NUM_SCANCODES, keys);
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
    KeyBindings().Fill(states.data(), SDL_NUM_SCANCODES, keys);
    for (int code = 0; code < 256; ++code) {
      EXPECT_EQ(keys[code], code == virtual_key ? 0x80 : 0) << "scancode " << scancode;
    }
  }

  // Every other key down, the game's five up: an empty snapshot (the keypad
  // arrows and letters that share codes with the arrows included).
  std::fill(states.begin(), states.end(), 1);
  for (const auto& pair : pairs)
    states[pair.first] = 0;
  KeyBindings().Fill(states.data(), SDL_NUM_SCANCODES, keys);
  for (uint8_t byte : keys)
    ASSERT_EQ(byte, 0);

  // A short or missing state array reads as all keys up.
  std::fill(states.begin(), states.end(), 1);
  KeyBindings().Fill(states.data(), SDL_SCANCODE_SPACE, keys);
  for (uint8_t byte : keys)
    ASSERT_EQ(byte, 0);
  KeyBindings().Fill(nullptr, 0, keys);
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

TEST_F(DummyPlatform, F12SavesTheFrameShownAndMAndTheVolumeKeysAreMarkedAndKept) {
  testing::TempFolder temp;
  PlayerChoices choices;
  choices.screenshot_folder = temp.File("shots");
  std::vector<std::string> kept;
  choices.keep = [&kept](Setting setting, int value) {
    const SettingRule& rule = RuleOf(setting);
    kept.push_back(std::string(rule.section) + " " + rule.name + " " + ValueText(rule, value));
  };
  ::testing::internal::CaptureStderr();
  SdlPlatform platform(window_, *sound_, {}, choices);
  Surface frame;
  frame.Set(5, 5, kWhite);
  platform.Present(frame);
  const Surface shown = frame;
  PushKey(SDL_SCANCODE_F12);
  EXPECT_TRUE(platform.ProcessMessages());
  frame.Set(6, 6, kWhite);  // the next frame is not the picture
  platform.Present(frame);
  platform.FinishWriting();
  const std::string said = ::testing::internal::GetCapturedStderr();
  const std::string prefix = "rallix: screenshot " + temp.File("shots/rallix-");
  ASSERT_EQ(said.rfind(prefix, 0), 0u) << said;
  const std::string path = said.substr(19, said.size() - 20);
  const SmallFile file = ReadSmallFile(path, 1 << 20);
  EXPECT_EQ(std::vector<uint8_t>(file.bytes.begin(), file.bytes.end()), EncodeFramePng(shown));

  // M: muted, marked in a box over the blank corner; with Ctrl it is no M.
  PushKey(SDL_SCANCODE_M);
  PushKey(SDL_SCANCODE_M, KMOD_LCTRL);
  EXPECT_TRUE(platform.ProcessMessages());
  ASSERT_EQ(platform.Presenter().MarkAreas().size(), 1u);
  EXPECT_EQ(platform.Presenter().MarkAreas()[0].x, 640 - 5 * 16 - 16 - 5);
  EXPECT_EQ(PixelAt(640 - 5 * 16 - 16 - 5, 3), 0xFFFFFFu) << "the box's frame";
  // Down and up by ten; the volume shows under MUTED a while.
  PushKey(SDL_SCANCODE_MINUS);
  PushKey(SDL_SCANCODE_KP_PLUS);
  PushKey(SDL_SCANCODE_KP_MINUS);
  PushKey(SDL_SCANCODE_EQUALS);
  EXPECT_TRUE(platform.ProcessMessages());
  ASSERT_EQ(platform.Presenter().MarkAreas().size(), 2u);
  EXPECT_EQ(platform.Presenter().MarkAreas()[1].x, 640 - 7 * 16 - 16 - 5) << "VOL 100";
  EXPECT_EQ(platform.Presenter().MarkAreas()[1].y, 8 + 30 - 5);
  // The volume's mark goes after a moment; MUTED stays.
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (platform.Presenter().MarkAreas().size() > 1 && std::chrono::steady_clock::now() < give_up)
    platform.ProcessMessages();
  EXPECT_EQ(platform.Presenter().MarkAreas().size(), 1u);
  // Up at 100: never past it, and the mark says so again.
  PushKey(SDL_SCANCODE_EQUALS);
  EXPECT_TRUE(platform.ProcessMessages());
  ASSERT_EQ(platform.Presenter().MarkAreas().size(), 2u);
  EXPECT_EQ(platform.Presenter().MarkAreas()[1].x, 640 - 7 * 16 - 16 - 5) << "VOL 100";
  PushKey(SDL_SCANCODE_F11);
  EXPECT_TRUE(platform.ProcessMessages());
  platform.FinishWriting();
  const std::vector<std::string> expected = {"sound mute true",  "sound volume 90",
                                             "sound volume 100", "sound volume 90",
                                             "sound volume 100", "display fullscreen true"};
  EXPECT_EQ(kept, expected);
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
