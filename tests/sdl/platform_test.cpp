// The SDL platform's window side: the key snapshot, the changed cells, the
// presentation into the window surface (on SDL's dummy video driver) and the
// built-in icon.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sdl/sdl_display_mode.h"
#include "sdl/sdl_key_map.h"
#include "sdl/sdl_platform.h"
#include "sdl/sdl_presenter.h"
#include "sdl/window_icon.h"
#include "sdl/window_placement.h"

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

// A 640 x 480 window on SDL's dummy video driver, whose window surface is
// plain memory the test can read.
class DummyWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    window_ = SDL_CreateWindow("Rallix", 0, 0, 640, 480, 0);
    ASSERT_NE(window_, nullptr) << SDL_GetError();
  }
  void TearDown() override {
    if (window_ != nullptr)
      SDL_DestroyWindow(window_);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }

  // The colour of a window pixel as 0xRRGGBB.
  uint32_t PixelAt(int x, int y) {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    Uint32 value = 0;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch +
                     x * surface->format->BytesPerPixel;
    SDL_memcpy(&value, p, surface->format->BytesPerPixel);
    Uint8 r, g, b;
    SDL_GetRGB(value, surface->format, &r, &g, &b);
    return uint32_t{r} << 16 | uint32_t{g} << 8 | b;
  }
  void Scribble(uint32_t rgb) {
    SDL_Surface* surface = SDL_GetWindowSurface(window_);
    SDL_FillRect(surface, nullptr,
                 SDL_MapRGB(surface->format, rgb >> 16, rgb >> 8 & 255, rgb & 255));
  }

  SDL_Window* window_ = nullptr;
};

TEST_F(DummyWindow, FramesShowBlackAndWhiteAndOnlyChangedCellsAreRedrawn) {
  SdlPresenter presenter(window_);
  Surface frame;
  frame.Set(10, 20, kWhite);
  frame.Set(11, 20, 7);  // any index but 0 shows white
  presenter.Present(frame);
  EXPECT_EQ(PixelAt(10, 20), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(11, 20), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(12, 20), 0x000000u);
  EXPECT_EQ(presenter.FramesShown(), 1);
  EXPECT_EQ(presenter.WholeFramesShown(), 1);

  // The same frame again changes nothing, so nothing is sent.
  Scribble(0x123456);
  presenter.Present(frame);
  EXPECT_EQ(presenter.FramesShown(), 1);
  EXPECT_EQ(PixelAt(300, 300), 0x123456u);

  // One changed cell: only that cell is drawn.
  frame.Set(300, 300, kWhite);
  presenter.Present(frame);
  EXPECT_EQ(presenter.FramesShown(), 2);
  EXPECT_EQ(presenter.WholeFramesShown(), 1);
  EXPECT_EQ(PixelAt(300, 300), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(301, 300), 0x000000u);
  EXPECT_EQ(PixelAt(10, 20), 0x123456u) << "a cell that did not change was redrawn";

  // A repaint shows the last frame again, whole.
  presenter.Repaint();
  EXPECT_EQ(presenter.WholeFramesShown(), 2);
  EXPECT_EQ(PixelAt(10, 20), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(0, 0), 0x000000u);
}

TEST_F(DummyWindow, AfterTheSurfaceIsLostTheNextFrameIsSentWhole) {
  SdlPresenter presenter(window_);
  Surface frame;
  presenter.Present(frame);
  Scribble(0x654321);
  presenter.SurfaceLost();
  frame.Set(5, 5, kWhite);
  presenter.Present(frame);
  EXPECT_EQ(presenter.WholeFramesShown(), 2);
  EXPECT_EQ(PixelAt(5, 5), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(600, 400), 0x000000u);

  // The window changes size: SDL makes a new surface, which is filled whole.
  SDL_SetWindowSize(window_, 320, 240);
  SDL_SetWindowSize(window_, 640, 480);
  frame.Set(6, 5, kWhite);
  presenter.Present(frame);
  EXPECT_EQ(PixelAt(600, 400), 0x000000u);
  EXPECT_EQ(PixelAt(6, 5), 0xFFFFFFu);
}

TEST_F(DummyWindow, ScaledFramesAreWholeBlocksCentredInBlackAndChangedCellsStayInPlace) {
  SDL_SetWindowSize(window_, 1920, 1080);
  SdlPresenter presenter(window_);
  Scribble(0x123456);
  Surface frame;
  frame.Set(0, 0, kWhite);
  frame.Set(639, 479, kWhite);
  presenter.Present(frame);
  ASSERT_EQ(presenter.Place(), (PicturePlace{2, 320, 60}));
  // Picture pixel (0, 0) is the block from (320, 60) to (321, 61).
  EXPECT_EQ(PixelAt(320, 60), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(321, 61), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(322, 60), 0x000000u);
  EXPECT_EQ(PixelAt(1598, 1018), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(1599, 1019), 0xFFFFFFu);
  // Black around the picture, everywhere.
  EXPECT_EQ(PixelAt(319, 60), 0x000000u);
  EXPECT_EQ(PixelAt(0, 0), 0x000000u);
  EXPECT_EQ(PixelAt(1600, 1079), 0x000000u);
  EXPECT_EQ(PixelAt(1000, 1020), 0x000000u);

  // A changed cell is drawn at its scaled place and nothing else is.
  Scribble(0x123456);
  frame.Set(5 * 16 + 3, 2 * 16, kWhite);
  presenter.Present(frame);
  EXPECT_EQ(presenter.WholeFramesShown(), 1);
  EXPECT_EQ(PixelAt(320 + 2 * 83, 60 + 2 * 32), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(320 + 2 * 83 + 1, 60 + 2 * 32 + 1), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(320 + 2 * 80, 60 + 2 * 32), 0x000000u) << "the cell's other pixels";
  EXPECT_EQ(PixelAt(320 + 2 * 96, 60 + 2 * 32), 0x123456u) << "the next cell was redrawn";
  EXPECT_EQ(PixelAt(320, 60), 0x123456u);
}

TEST_F(DummyWindow, RepaintBeforeAnyFrameShowsBlack) {
  SdlPresenter presenter(window_);
  Scribble(0xABCDEF);
  presenter.Repaint();
  EXPECT_EQ(PixelAt(320, 240), 0x000000u);
}

// The platform's message pump, clock, keys and error report on the dummy
// window, with no sound device.
class DummyPlatform : public DummyWindow {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    // With a display, SDL would show the fatal error's message box there and
    // wait for someone to dismiss it.
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    DummyWindow::SetUp();
    sound_ = std::make_unique<SdlSound>();
  }
  void Push(Uint32 type, Uint8 window_event = 0) {
    SDL_Event event{};
    event.type = type;
    event.window.windowID = SDL_GetWindowID(window_);
    event.window.event = window_event;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
  }
  std::unique_ptr<SdlSound> sound_;
};

TEST_F(DummyPlatform, CloseAndQuitEventsEndTheGameAndRepaintsShowTheLastFrame) {
  SdlPlatform platform(window_, *sound_);
  EXPECT_TRUE(platform.ProcessMessages());

  Surface frame;
  frame.Set(100, 100, kWhite);
  platform.Present(frame);
  Scribble(0x112233);
  Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED);
  EXPECT_TRUE(platform.ProcessMessages());
  EXPECT_EQ(PixelAt(100, 100), 0xFFFFFFu);
  EXPECT_EQ(PixelAt(200, 200), 0x000000u);

  Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_CLOSE);
  EXPECT_FALSE(platform.ProcessMessages());
  EXPECT_TRUE(platform.ProcessMessages()) << "every pending event was handled";
  Push(SDL_QUIT);
  Push(SDL_WINDOWEVENT, SDL_WINDOWEVENT_EXPOSED);
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
