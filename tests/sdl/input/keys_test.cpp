// The keys the game sees on the desktop, through the platform's message
// pump on SDL's dummy video driver: keyboard taps between two passes, key
// repeat, the pause on P, the keyboard focus, and gamepads (SDL's virtual
// joystick) with their buttons, stick and plugging in and out.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>

#include "sdl/app/desktop_platform.h"
#include "sdl/app/run_game.h"
#include "sdl/settings/settings_text.h"
#include "tests/support/dummy_window.h"

namespace {

// SDL's dummy driver never gives a window the keyboard focus, and its
// keyboard state follows real keys only: this program stands in for the two
// SDL calls that read them.
bool window_focused = true;
std::array<Uint8, SDL_NUM_SCANCODES> keys_down{};

}  // namespace

extern "C" Uint32 SDL_GetWindowFlags(SDL_Window* window) {
  using Real = Uint32 (*)(SDL_Window*);
  static const auto real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "SDL_GetWindowFlags"));
  const Uint32 flags = real(window) & ~static_cast<Uint32>(SDL_WINDOW_INPUT_FOCUS);
  return window_focused ? flags | SDL_WINDOW_INPUT_FOCUS : flags;
}

extern "C" const Uint8* SDL_GetKeyboardState(int* count) {
  if (count != nullptr)
    *count = SDL_NUM_SCANCODES;
  return keys_down.data();
}

namespace rallix {
namespace {

// A gamepad plugged in (SDL's virtual one, which SDL maps as a game
// controller: buttons in SDL's order, the left stick on axes 0 and 1).
SDL_Joystick* PlugPad() {
  const int index =
      SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, SDL_CONTROLLER_BUTTON_MAX, 0);
  EXPECT_GE(index, 0) << SDL_GetError();
  return SDL_JoystickOpen(index);
}
void UnplugPad(SDL_Joystick* pad) {
  const SDL_JoystickID id = SDL_JoystickInstanceID(pad);
  SDL_JoystickClose(pad);
  for (int index = 0; index < SDL_NumJoysticks(); ++index) {
    if (SDL_JoystickGetDeviceInstanceID(index) == id)
      SDL_JoystickDetachVirtual(index);
  }
}
// Sets a button or an axis; SDL sees it, and queues its events, at the
// next look at the devices.
void Button(SDL_Joystick* pad, SDL_GameControllerButton button, bool down) {
  SDL_JoystickSetVirtualButton(pad, button, down ? 1 : 0);
  SDL_PumpEvents();
}
void Stick(SDL_Joystick* pad, Sint16 x, Sint16 y) {
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, x);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, y);
  SDL_PumpEvents();
}

class Keys : public testing::DummyWindowTest {
 protected:
  void SetUp() override {
    // SDL reads pads only for a window with the keyboard focus, which the
    // dummy driver never gives.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    more_subsystems_ = SDL_INIT_GAMECONTROLLER;
    DummyWindowTest::SetUp();
    window_focused = true;
    keys_down.fill(0);
    sound_ = std::make_unique<SdlSound>();
    platform_ = std::make_unique<SdlPlatform>(window_, *sound_);
  }
  void TearDown() override {
    platform_.reset();
    sound_.reset();
    for (int index = SDL_NumJoysticks() - 1; index >= 0; --index)
      SDL_JoystickDetachVirtual(index);
    DummyWindowTest::TearDown();
  }

  // One pass of the frame loop: the messages, then, when the game is in
  // front, its snapshot as the game keys held (L, U, R, D, S for Space;
  // '?' for any other byte set), or "behind" when it is not.
  std::string Pass() {
    EXPECT_TRUE(platform_->ProcessMessages());
    if (!platform_->IsForeground())
      return "behind";
    KeySnapshot keys;
    keys.fill(0x55);
    platform_->GetKeyboardState(keys);
    std::string held;
    for (const auto& [key, name] :
         {std::pair{kVkLeft, 'L'}, std::pair{kVkUp, 'U'}, std::pair{kVkRight, 'R'},
          std::pair{kVkDown, 'D'}, std::pair{kVkSpace, 'S'}}) {
      if (keys[key] == kKeyDownBit)
        held += name;
      keys[key] = 0;
    }
    for (uint8_t byte : keys) {
      if (byte != 0)
        return held + '?';
    }
    return held;
  }

  std::unique_ptr<SdlSound> sound_;
  std::unique_ptr<SdlPlatform> platform_;
};

TEST_F(Keys, AKeyTappedBetweenTwoPassesShowsInOneSnapshotAndAHeldKeyInEvery) {
  EXPECT_EQ(Pass(), "");
  // Down and up again before the pass: SDL's state never shows it.
  PushKey(SDL_SCANCODE_SPACE);
  PushKey(SDL_SCANCODE_SPACE);
  EXPECT_EQ(Pass(), "S");
  EXPECT_EQ(Pass(), "") << "a tap showed twice";

  // A held key shows as the messages left it, pass after pass.
  keys_down[SDL_SCANCODE_LEFT] = 1;
  PushKey(SDL_SCANCODE_LEFT);
  EXPECT_EQ(Pass(), "L");
  EXPECT_EQ(Pass(), "L");
  keys_down[SDL_SCANCODE_LEFT] = 0;
  KeySnapshot keys{};
  platform_->GetKeyboardState(keys);
  EXPECT_TRUE(IsKeyDown(keys, kVkLeft)) << "a key let go before the messages were read";
  EXPECT_EQ(Pass(), "");

  // Repeats of a held key are no new taps; keys the game does not use show
  // nothing.
  PushKey(SDL_SCANCODE_DOWN, KMOD_NONE, 1);
  PushKey(SDL_SCANCODE_A);
  PushKey(SDL_SCANCODE_KP_4);
  EXPECT_EQ(Pass(), "");
}

TEST_F(Keys, OnlyAPlainPPausesAndKeysPressedWhilePausedOrOutOfFocusCountForNothing) {
  PushKey(SDL_SCANCODE_P, KMOD_LCTRL);
  PushKey(SDL_SCANCODE_P, KMOD_RALT);
  PushKey(SDL_SCANCODE_P, KMOD_LGUI);
  EXPECT_EQ(Pass(), "");
  EXPECT_STREQ(SDL_GetWindowTitle(window_), "Rallix");

  // Num Lock on is still a plain P. A tap just before it is forgotten.
  PushKey(SDL_SCANCODE_UP);
  PushKey(SDL_SCANCODE_P, KMOD_NUM);
  EXPECT_EQ(Pass(), "behind");
  EXPECT_STREQ(SDL_GetWindowTitle(window_), "Rallix (paused)");
  EXPECT_EQ(platform_->Presenter().MarkAreas().size(), 1u) << "the mark that says so";
  PushKey(SDL_SCANCODE_P, KMOD_NONE, 1);  // P held: its repeats do not go on
  PushKey(SDL_SCANCODE_SPACE);
  EXPECT_EQ(Pass(), "behind");
  PushKey(SDL_SCANCODE_P);
  EXPECT_EQ(Pass(), "") << "a key pressed while paused acted after the pause";
  EXPECT_STREQ(SDL_GetWindowTitle(window_), "Rallix");
  EXPECT_TRUE(platform_->Presenter().MarkAreas().empty());

  // Out of focus: a tap counts for nothing, then or later; so does one not
  // yet seen when the focus goes.
  window_focused = false;
  PushKey(SDL_SCANCODE_SPACE);
  EXPECT_EQ(Pass(), "behind");
  window_focused = true;
  EXPECT_EQ(Pass(), "");
  PushKey(SDL_SCANCODE_DOWN);
  platform_->ProcessMessages();
  window_focused = false;
  EXPECT_FALSE(platform_->IsForeground());
  window_focused = true;
  EXPECT_EQ(Pass(), "");
}

TEST_F(Keys, TheWindowsKeysAndThePlayersOwnKeysNeverTakeEachOthersPresses) {
  PlayerChoices choices;
  ASSERT_EQ(choices.keys.Take(ReadSettings("[keys]\nspace = Return\nleft = Left Ctrl\n").keys),
            std::vector<std::string>{});
  platform_ = std::make_unique<SdlPlatform>(window_, *sound_, SoundLocations{}, choices);
  // Alt+Enter: the whole screen, and no Space while Return is down.
  keys_down[SDL_SCANCODE_LALT] = keys_down[SDL_SCANCODE_RETURN] = 1;
  PushKey(SDL_SCANCODE_RETURN, KMOD_LALT);
  EXPECT_EQ(Pass(), "");
  EXPECT_NE(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN, 0u);
  keys_down[SDL_SCANCODE_LALT] = 0;
  EXPECT_EQ(Pass(), "") << "Return still down from Alt+Enter";
  keys_down[SDL_SCANCODE_RETURN] = 0;
  EXPECT_EQ(Pass(), "");
  keys_down[SDL_SCANCODE_RETURN] = 1;
  PushKey(SDL_SCANCODE_RETURN);
  EXPECT_EQ(Pass(), "S");
  keys_down[SDL_SCANCODE_RETURN] = 0;

  // Left Ctrl is the paddle's Left, no Ctrl: P and M work while it is held;
  // Right Ctrl is still a Ctrl.
  keys_down[SDL_SCANCODE_LCTRL] = 1;
  PushKey(SDL_SCANCODE_LCTRL, KMOD_LCTRL);
  PushKey(SDL_SCANCODE_M, KMOD_LCTRL);
  PushKey(SDL_SCANCODE_P, KMOD_RCTRL | KMOD_LCTRL);
  EXPECT_EQ(Pass(), "L");
  EXPECT_EQ(platform_->Presenter().MarkAreas().size(), 1u) << "MUTED";
  PushKey(SDL_SCANCODE_P, KMOD_LCTRL);
  EXPECT_EQ(Pass(), "behind");
}

TEST_F(Keys, PadButtonsAreTheArrowsAndSpaceHeldOrTappedBetweenPasses) {
  SDL_Joystick* pad = PlugPad();
  ASSERT_NE(pad, nullptr) << SDL_GetError();
  EXPECT_EQ(Pass(), "");
  Button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  EXPECT_EQ(Pass(), "L");
  EXPECT_EQ(Pass(), "L");
  Button(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
  EXPECT_EQ(Pass(), "");

  // Pressed and let go between two passes: once.
  for (const auto& [button, seen] :
       {std::pair{SDL_CONTROLLER_BUTTON_DPAD_UP, "U"},
        std::pair{SDL_CONTROLLER_BUTTON_DPAD_RIGHT, "R"},
        std::pair{SDL_CONTROLLER_BUTTON_DPAD_DOWN, "D"}, std::pair{SDL_CONTROLLER_BUTTON_A, "S"},
        std::pair{SDL_CONTROLLER_BUTTON_START, "S"}, std::pair{SDL_CONTROLLER_BUTTON_B, ""},
        std::pair{SDL_CONTROLLER_BUTTON_BACK, ""}}) {
    Button(pad, button, true);
    Button(pad, button, false);
    EXPECT_EQ(Pass(), seen) << "button " << button;
    EXPECT_EQ(Pass(), "") << "button " << button;
  }

  // While paused a button counts for nothing, then or later.
  PushKey(SDL_SCANCODE_P);
  Button(pad, SDL_CONTROLLER_BUTTON_A, true);
  Button(pad, SDL_CONTROLLER_BUTTON_A, false);
  EXPECT_EQ(Pass(), "behind");
  PushKey(SDL_SCANCODE_P);
  EXPECT_EQ(Pass(), "");
}

TEST_F(Keys, TheStickHoldsArrowsBeyondHalfWayAndAFlickBetweenPassesShowsOnce) {
  SDL_Joystick* pad = PlugPad();
  ASSERT_NE(pad, nullptr) << SDL_GetError();
  Stick(pad, 16000, 0);  // within half the range
  EXPECT_EQ(Pass(), "");
  Stick(pad, -30000, 0);
  EXPECT_EQ(Pass(), "L");
  EXPECT_EQ(Pass(), "L");
  Stick(pad, 25000, 25000);
  EXPECT_EQ(Pass(), "RD");
  Stick(pad, 0, -20000);
  EXPECT_EQ(Pass(), "U");
  Stick(pad, 0, 0);
  EXPECT_EQ(Pass(), "");
  // Out to the right and back to the middle before the pass.
  Stick(pad, 32767, 0);
  Stick(pad, 0, 0);
  EXPECT_EQ(Pass(), "R");
  EXPECT_EQ(Pass(), "");
}

TEST_F(Keys, AnUnpluggedPadLetsGoOfItsKeysAndAPadPluggedInLaterPlays) {
  SDL_Joystick* first = PlugPad();
  ASSERT_NE(first, nullptr) << SDL_GetError();
  Button(first, SDL_CONTROLLER_BUTTON_A, true);
  Stick(first, -30000, 0);
  EXPECT_EQ(Pass(), "LS");
  const SDL_JoystickID first_id = SDL_JoystickInstanceID(first);
  UnplugPad(first);
  EXPECT_EQ(Pass(), "");
  EXPECT_EQ(Pass(), "");
  EXPECT_EQ(SDL_JoystickFromInstanceID(first_id), nullptr) << "the unplugged pad is kept open";

  SDL_Joystick* second = PlugPad();
  ASSERT_NE(second, nullptr) << SDL_GetError();
  EXPECT_EQ(Pass(), "");
  Button(second, SDL_CONTROLLER_BUTTON_START, true);
  EXPECT_EQ(Pass(), "S");
  Stick(second, 0, 30000);
  EXPECT_EQ(Pass(), "DS");
  Button(second, SDL_CONTROLLER_BUTTON_START, false);
  Stick(second, 0, 0);
  EXPECT_EQ(Pass(), "");
}

// The game's own session starts SDL's game controllers: a pad plugged in
// while it runs plays.
TEST(SdlSession, APadPluggedInWhileTheGameRunsPlays) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  window_focused = true;
  keys_down.fill(0);
  ::testing::internal::CaptureStderr();  // the sounds not found here
  bool space = false;
  RunOnSdl([&space](SdlPlatform& platform) {
    SDL_Joystick* pad = PlugPad();
    platform.ProcessMessages();
    Button(pad, SDL_CONTROLLER_BUTTON_A, true);
    platform.ProcessMessages();
    KeySnapshot keys{};
    platform.GetKeyboardState(keys);
    space = IsKeyDown(keys, kVkSpace);
    UnplugPad(pad);
    return 0;
  });
  ::testing::internal::GetCapturedStderr();
  unsetenv("SDL_VIDEODRIVER");
  EXPECT_TRUE(space);
}

}  // namespace
}  // namespace rallix
