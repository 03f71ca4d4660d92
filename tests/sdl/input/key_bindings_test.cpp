// The player's own keys: [keys] lines bind the six keys to others by SDL's
// names; a line that cannot be taken is named and its action keeps its keys;
// the game reads the same virtual keys whichever keys are bound.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sdl/input/key_bindings.h"
#include "sdl/settings/settings_text.h"

namespace rallix {
namespace {

// The [keys] lines of a settings file's text, taken by fresh bindings: the
// problems named.
std::vector<std::string> Bind(KeyBindings& bindings, const std::string& keys) {
  return bindings.Take(ReadSettings("[keys]\n" + keys).keys);
}

std::vector<SDL_Scancode> Keys(std::initializer_list<SDL_Scancode> keys) {
  return keys;
}

TEST(KeyBindings, SeveralKeysPerActionBySdlsNamesAndTheGameSeesTheSameVirtualKeys) {
  KeyBindings bindings;
  EXPECT_EQ(Bind(bindings,
                 "down = Down S\n"
                 "left = keypad 4 Left Shift\n"
                 "right = Right D\n"
                 "pause = Pause\n"),
            std::vector<std::string>{});
  EXPECT_EQ(bindings.KeysOf(KeyAction::kDown), Keys({SDL_SCANCODE_DOWN, SDL_SCANCODE_S}));
  EXPECT_EQ(bindings.KeysOf(KeyAction::kLeft), Keys({SDL_SCANCODE_KP_4, SDL_SCANCODE_LSHIFT}));
  EXPECT_EQ(bindings.KeysOf(KeyAction::kUp), Keys({SDL_SCANCODE_UP})) << "a line's own keys only";
  EXPECT_TRUE(bindings.IsPause(SDL_SCANCODE_PAUSE));
  EXPECT_FALSE(bindings.IsPause(SDL_SCANCODE_P));

  // S held is Down held, the same byte the arrow gives; Left, unbound, is nothing.
  std::vector<Uint8> states(SDL_NUM_SCANCODES, 0);
  states[SDL_SCANCODE_S] = 1;
  states[SDL_SCANCODE_LEFT] = 1;
  KeySnapshot keys;
  bindings.Fill(states.data(), SDL_NUM_SCANCODES, keys);
  KeySnapshot expected{};
  expected[kVkDown] = kKeyDownBit;
  EXPECT_EQ(keys, expected);
  EXPECT_EQ(bindings.VirtualKeyOf(SDL_SCANCODE_KP_4), kVkLeft);
  EXPECT_EQ(bindings.VirtualKeyOf(SDL_SCANCODE_LEFT), std::nullopt);
  EXPECT_EQ(bindings.VirtualKeyOf(SDL_SCANCODE_PAUSE), std::nullopt) << "the pause is no game key";
}

TEST(KeyBindings, ALineThatCannotBeTakenIsNamedAndItsActionKeepsItsKeys) {
  KeyBindings bindings;
  const std::vector<std::string> problems = Bind(bindings,
                                                 "jump = J\n"      // 2
                                                 "up = W Blorp\n"  // 3
                                                 "up =\n"          // 4
                                                 "space = F12\n"   // 5
                                                 "down = M\n"      // 6
                                                 "left = A\n"      // 7
                                                 "right = A D\n"   // 8
                                                 "space = Up\n");  // 9
  const std::vector<std::string> expected = {
      "line 2, \"jump = J\": there is no action 'jump' (left, right, up, down, space, pause)",
      "line 3, \"up = W Blorp\": SDL knows no key 'Blorp'",
      "line 4, \"up =\": it gives no key",
      "line 5, \"space = F12\": F12 is the screenshot key",
      "line 6, \"down = M\": M is the mute key",
      "line 8, \"right = A D\": A is the key for left too",
      "line 9, \"space = Up\": Up is the key for up too"};
  EXPECT_EQ(problems, expected);
  EXPECT_EQ(bindings.KeysOf(KeyAction::kLeft), Keys({SDL_SCANCODE_A}));
  EXPECT_EQ(bindings.KeysOf(KeyAction::kRight), Keys({SDL_SCANCODE_RIGHT}));
  EXPECT_EQ(bindings.KeysOf(KeyAction::kUp), Keys({SDL_SCANCODE_UP}));
  EXPECT_EQ(bindings.KeysOf(KeyAction::kSpace), Keys({SDL_SCANCODE_SPACE}));
  EXPECT_EQ(bindings.KeysOf(KeyAction::kDown), Keys({SDL_SCANCODE_DOWN}));
}

TEST(KeyBindings, KeysMayChangePlacesAndALineGoingBringsBackAKeyThatThenClashes) {
  // Left and Right swapped: no key is shared once both lines are taken.
  KeyBindings swapped;
  EXPECT_EQ(Bind(swapped, "left = Right\nright = Left\n"), std::vector<std::string>{});
  EXPECT_EQ(swapped.VirtualKeyOf(SDL_SCANCODE_RIGHT), kVkLeft);
  EXPECT_EQ(swapped.VirtualKeyOf(SDL_SCANCODE_LEFT), kVkRight);

  // Both want X: the later line goes, so up keeps Up, which the first line
  // wants too: it goes as well, and both keep their own keys.
  KeyBindings chained;
  const std::vector<std::string> problems = Bind(chained, "down = Up X\nup = Down X\n");
  const std::vector<std::string> expected = {"line 3, \"up = Down X\": X is the key for down too",
                                             "line 2, \"down = Up X\": Up is the key for up too"};
  EXPECT_EQ(problems, expected);
  EXPECT_EQ(chained.KeysOf(KeyAction::kUp), Keys({SDL_SCANCODE_UP}));
  EXPECT_EQ(chained.KeysOf(KeyAction::kDown), Keys({SDL_SCANCODE_DOWN}));
}

}  // namespace
}  // namespace rallix
