// The window's mode on SDL's dummy video driver (one 1024 x 768 screen):
// the scale asked for, shrunk to the screen's usable area; the whole screen
// and back on F11 and Alt+Enter, with the window's size, border and place
// after it; and where the picture goes in a surface of any size.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <optional>

#include "sdl/app/desktop_platform.h"
#include "sdl/video/display_mode.h"
#include "tests/support/dummy_window.h"

namespace {

// The dummy driver keeps no border and has no panels: this program stands
// in for the SDL calls that set the border and tell the usable area.
std::optional<bool> bordered;         // as last set
std::optional<SDL_Rect> usable_area;  // nothing: SDL cannot tell

}  // namespace

extern "C" void SDL_SetWindowBordered(SDL_Window*, SDL_bool border) {
  bordered = border == SDL_TRUE;
}

extern "C" int SDL_GetDisplayUsableBounds(int, SDL_Rect* area) {
  if (!usable_area)
    return -1;
  *area = *usable_area;
  return 0;
}

namespace rallix {
namespace {

TEST(WindowSize, TheScaleAskedForShrinksToTheLargestWholeScaleTheUsableAreaHolds) {
  const auto size = [](int scale, int usable_width, int usable_height) {
    usable_area = SDL_Rect{0, 0, usable_width, usable_height};
    const SDL_Point size = SdlDisplayMode(DisplayOptions{scale, false}).WindowSize(0);
    return std::pair{size.x, size.y};
  };
  // A 1920 x 1080 screen with a 30-pixel panel: 3 x 480 does not fit, 2 does.
  EXPECT_EQ(size(1, 1920, 1050), (std::pair{640, 480}));
  EXPECT_EQ(size(2, 1920, 1050), (std::pair{1280, 960}));
  EXPECT_EQ(size(3, 1920, 1050), (std::pair{1280, 960}));
  // 3840 x 2130: 4 x 480 = 1920 fits the height, 5 x 480 = 2400 does not.
  EXPECT_EQ(size(5, 3840, 2130), (std::pair{2560, 1920}));
  EXPECT_EQ(size(3, 3840, 2130), (std::pair{1920, 1440}));
  // Too small even for 2x: 1x.
  EXPECT_EQ(size(2, 1024, 768), (std::pair{640, 480}));
  EXPECT_EQ(size(4, 600, 400), (std::pair{640, 480}));
  // What the player is told when the scale asked for does not fit.
  usable_area = SDL_Rect{0, 0, 1920, 1050};
  EXPECT_EQ(SdlDisplayMode(DisplayOptions{3, false}).ScaleNote(0),
            "rallix: --scale 3 does not fit the screen (1920 x 1050 free): the window is 2x, "
            "1280 x 960");
  EXPECT_EQ(SdlDisplayMode(DisplayOptions{3, false}).ScaleNote(0, "/home/ana/settings.ini"),
            "rallix: scale = 3 in /home/ana/settings.ini does not fit the screen (1920 x 1050 "
            "free): the window is 2x, 1280 x 960");
  EXPECT_EQ(SdlDisplayMode(DisplayOptions{2, false}).ScaleNote(0), "");
  // A screen SDL cannot measure: the scale asked for.
  usable_area.reset();
  EXPECT_EQ(SdlDisplayMode(DisplayOptions{3, false}).WindowSize(0).x, 1920);
}

TEST(PicturePlace, TheLargestWholeScaleThatFitsCentredAnd1xCutOffWhenSmaller) {
  EXPECT_EQ(PlacePicture(640, 480), (PicturePlace{1, 0, 0}));
  EXPECT_EQ(PlacePicture(1280, 960), (PicturePlace{2, 0, 0}));
  EXPECT_EQ(PlacePicture(1920, 1080), (PicturePlace{2, 320, 60}));
  EXPECT_EQ(PlacePicture(3840, 2160), (PicturePlace{4, 640, 120}));
  EXPECT_EQ(PlacePicture(1279, 1000), (PicturePlace{1, 319, 260}));
  EXPECT_EQ(PlacePicture(300, 600), (PicturePlace{1, 0, 60}));
  EXPECT_EQ(PlacePicture(2000, 479), (PicturePlace{1, 680, 0}));
  EXPECT_EQ(PlacePicture(600, 400), (PicturePlace{1, 0, 0}));
  EXPECT_EQ(PlacePicture(0, 0), (PicturePlace{1, 0, 0}));
}

// On one 1024 x 768 screen, whose whole is usable.
class DisplayMode : public testing::DummyWindowTest {
 protected:
  void SetUp() override {
    DummyWindowTest::SetUp();
    usable_area = SDL_Rect{0, 0, 1024, 768};
    bordered.reset();
  }
  bool Fullscreen() const {
    return (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
           SDL_WINDOW_FULLSCREEN_DESKTOP;
  }
  // The window's place and size: x, y, width, height.
  std::array<int, 4> Where() const {
    std::array<int, 4> where{};
    SDL_GetWindowPosition(window_, &where[0], &where[1]);
    SDL_GetWindowSize(window_, &where[2], &where[3]);
    return where;
  }
};

TEST_F(DisplayMode, TheWholeScreenWithoutBordersAndBackToTheWindowsOwnSizeBorderedAndCentred) {
  // A 2x window does not fit 1024 x 768: the window is 640 x 480.
  SdlDisplayMode mode(DisplayOptions{2, false});
  mode.SetFullscreen(window_, !mode.Fullscreen());
  EXPECT_TRUE(mode.Fullscreen());
  EXPECT_TRUE(Fullscreen());
  EXPECT_EQ(bordered, false);
  EXPECT_EQ(Where(), (std::array{0, 0, 1024, 768}));

  mode.SetFullscreen(window_, !mode.Fullscreen());
  EXPECT_FALSE(mode.Fullscreen());
  EXPECT_FALSE(Fullscreen());
  EXPECT_EQ(bordered, true);
  EXPECT_EQ(Where(), (std::array{192, 144, 640, 480})) << "centred on 1024 x 768";

  // Started on the whole screen, the window leaves it at its own size.
  SdlDisplayMode whole(DisplayOptions{1, true});
  whole.Apply(window_);
  EXPECT_TRUE(Fullscreen());
  whole.SetFullscreen(window_, false);
  EXPECT_FALSE(Fullscreen());
  EXPECT_EQ(Where(), (std::array{192, 144, 640, 480})) << "centred on 1024 x 768";
}

TEST_F(DisplayMode, F11AndAltEnterSwitchAndTheNewSurfaceGetsThePictureWholeAndCentred) {
  SdlSound sound;
  SdlPlatform platform(window_, sound);
  platform.ProcessMessages();  // the window's showing
  Surface frame;
  frame.Set(0, 0, kWhite);
  platform.Present(frame);
  const long whole = platform.Presenter().WholeFramesShown();

  // Keys that switch nothing: Enter alone, a repeated F11, Alt with another key.
  PushKey(SDL_SCANCODE_RETURN);
  PushKey(SDL_SCANCODE_F11, KMOD_NONE, 1);
  PushKey(SDL_SCANCODE_SPACE, KMOD_LALT);
  EXPECT_TRUE(platform.ProcessMessages());
  EXPECT_FALSE(Fullscreen());
  EXPECT_EQ(platform.Presenter().WholeFramesShown(), whole);

  PushKey(SDL_SCANCODE_F11);
  EXPECT_TRUE(platform.ProcessMessages());
  ASSERT_TRUE(Fullscreen());
  // 1024 x 768 holds the picture once, 192 and 144 pixels in.
  EXPECT_EQ(platform.Presenter().Place(), (PicturePlace{1, 192, 144}));
  EXPECT_GT(platform.Presenter().WholeFramesShown(), whole);

  PushKey(SDL_SCANCODE_RETURN, KMOD_RALT);
  EXPECT_TRUE(platform.ProcessMessages());
  EXPECT_FALSE(Fullscreen());
  EXPECT_EQ(platform.Presenter().Place(), (PicturePlace{1, 0, 0}));
  PushKey(SDL_SCANCODE_KP_ENTER, KMOD_LALT);
  EXPECT_TRUE(platform.ProcessMessages());
  EXPECT_TRUE(Fullscreen());

  // Escape leaves the whole screen, and in the window does nothing.
  PushKey(SDL_SCANCODE_ESCAPE);
  EXPECT_TRUE(platform.ProcessMessages());
  EXPECT_FALSE(Fullscreen());
  EXPECT_TRUE(platform.ProcessMessages());
  const long windowed = platform.Presenter().WholeFramesShown();
  PushKey(SDL_SCANCODE_ESCAPE);
  EXPECT_TRUE(platform.ProcessMessages());
  EXPECT_FALSE(Fullscreen());
  EXPECT_EQ(platform.Presenter().WholeFramesShown(), windowed);
}

TEST_F(DisplayMode, ABurstOfSwitchesIsOneChangeToTheLastModeAskedForAndACloseWaitsForNone) {
  SdlSound sound;
  SdlPlatform platform(window_, sound);
  ASSERT_TRUE(platform.ProcessMessages());
  const long whole = platform.Presenter().WholeFramesShown();

  // 151 presses, F11 and Alt+Enter by turns: the whole screen, changed once.
  for (int i = 0; i < 151; ++i)
    i % 2 == 0 ? PushKey(SDL_SCANCODE_F11) : PushKey(SDL_SCANCODE_RETURN, KMOD_LALT);
  EXPECT_TRUE(platform.ProcessMessages());
  EXPECT_TRUE(Fullscreen());
  EXPECT_EQ(platform.Presenter().WholeFramesShown(), whole + 1);
  // The window's own events of that change come with the next pass.
  EXPECT_TRUE(platform.ProcessMessages());
  const long changed = platform.Presenter().WholeFramesShown();

  // Another 150: back where it was, and no change at all is made.
  for (int i = 0; i < 150; ++i)
    PushKey(SDL_SCANCODE_F11);
  EXPECT_TRUE(platform.ProcessMessages());
  EXPECT_TRUE(Fullscreen());
  EXPECT_EQ(platform.Presenter().WholeFramesShown(), changed);

  // A close request behind 21 presses, which ask for the window, ends the
  // game before any change.
  for (int i = 0; i < 21; ++i)
    PushKey(SDL_SCANCODE_F11);
  PushWindowEvent(SDL_WINDOWEVENT_CLOSE);
  EXPECT_FALSE(platform.ProcessMessages());
  EXPECT_TRUE(Fullscreen());
  EXPECT_EQ(platform.Presenter().WholeFramesShown(), changed);
}

}  // namespace
}  // namespace rallix
