#include "sdl/input/key_bindings.h"

#include <algorithm>
#include <sstream>

#include "base/printable_text.h"

namespace rallix {
namespace {

struct ActionInfo {
  const char* name;
  SDL_Scancode key;     // as the game has it
  uint8_t virtual_key;  // 0 for the pause
};

constexpr ActionInfo kActions[kKeyActions] = {
    {"left", SDL_SCANCODE_LEFT, kVkLeft},    {"right", SDL_SCANCODE_RIGHT, kVkRight},
    {"up", SDL_SCANCODE_UP, kVkUp},          {"down", SDL_SCANCODE_DOWN, kVkDown},
    {"space", SDL_SCANCODE_SPACE, kVkSpace}, {"pause", SDL_SCANCODE_P, 0},
};

struct KeptKey {
  SDL_Scancode key;
  WindowKey use;
};

// The keys the window keeps, the one list of them.
constexpr KeptKey kWindowKeys[] = {
    {SDL_SCANCODE_F11, WindowKey::kFullScreen},
    {SDL_SCANCODE_ESCAPE, WindowKey::kLeaveFullScreen},
    {SDL_SCANCODE_F12, WindowKey::kScreenshot},
    {SDL_SCANCODE_M, WindowKey::kMute},
    {SDL_SCANCODE_MINUS, WindowKey::kVolumeDown},
    {SDL_SCANCODE_KP_MINUS, WindowKey::kVolumeDown},
    {SDL_SCANCODE_EQUALS, WindowKey::kVolumeUp},
    {SDL_SCANCODE_KP_PLUS, WindowKey::kVolumeUp},
};

const char* UseOf(WindowKey key) {
  switch (key) {
    case WindowKey::kFullScreen:
    case WindowKey::kLeaveFullScreen:
      return "the full screen key";
    case WindowKey::kScreenshot:
      return "the screenshot key";
    case WindowKey::kMute:
      return "the mute key";
    case WindowKey::kVolumeDown:
    case WindowKey::kVolumeUp:
      break;
  }
  return "a volume key";
}

std::string KeyName(SDL_Scancode key) {
  return SDL_GetScancodeName(key);
}

// The keys the names stand for, SDL's names with spaces in them ("Keypad
// 4", "Left Shift") taken whole where they are known; or why not.
std::vector<SDL_Scancode> KeysNamed(const std::string& names, std::string& why) {
  std::istringstream in(names);
  std::vector<std::string> words;
  for (std::string word; in >> word;)
    words.push_back(word);
  std::vector<SDL_Scancode> keys;
  for (size_t at = 0; at < words.size();) {
    size_t taken = 0;
    for (size_t count = std::min<size_t>(3, words.size() - at); count > 0 && taken == 0; --count) {
      std::string name = words[at];
      for (size_t i = 1; i < count; ++i)
        name += " " + words[at + i];
      const SDL_Scancode key = SDL_GetScancodeFromName(name.c_str());
      if (key != SDL_SCANCODE_UNKNOWN) {
        if (std::find(keys.begin(), keys.end(), key) == keys.end())
          keys.push_back(key);
        taken = count;
      }
    }
    if (taken == 0) {
      why = "SDL knows no key '" + PrintableText(words[at], 30) + "'";
      return {};
    }
    at += taken;
  }
  SDL_ClearError();  // the names SDL did not know
  if (keys.empty())
    why = "it gives no key";
  return keys;
}

int ActionNamed(const std::string& name) {
  for (int i = 0; i < kKeyActions; ++i) {
    if (name == kActions[i].name)
      return i;
  }
  return -1;
}

}  // namespace

std::optional<WindowKey> WindowKeyOf(SDL_Scancode scancode) {
  for (const KeptKey& kept : kWindowKeys) {
    if (kept.key == scancode)
      return kept.use;
  }
  return std::nullopt;
}

KeyBindings::KeyBindings() {
  for (int i = 0; i < kKeyActions; ++i)
    keys_[static_cast<size_t>(i)] = {kActions[i].key};
}

std::vector<std::string> KeyBindings::Take(const std::vector<KeysLine>& lines) {
  std::vector<std::string> problems;
  const auto say = [&](const KeysLine& line, const std::string& why) {
    problems.push_back("line " + std::to_string(line.number) + ", \"" +
                       PrintableText(line.text, 60) + "\": " + why);
  };
  // The lines that can be read, each action's last.
  struct Wanted {
    const KeysLine* line = nullptr;
    std::vector<SDL_Scancode> keys;
  };
  std::array<Wanted, kKeyActions> wanted;
  std::vector<int> order;  // the actions of the lines taken, in the file's order
  for (const KeysLine& line : lines) {
    const int action = ActionNamed(line.action);
    if (action < 0) {
      say(line, "there is no action '" + PrintableText(line.action, 30) +
                    "' (left, right, up, down, space, pause)");
      continue;
    }
    std::string why;
    std::vector<SDL_Scancode> keys = KeysNamed(line.keys, why);
    for (SDL_Scancode key : keys) {
      if (why.empty() && WindowKeyOf(key))
        why = KeyName(key) + " is " + UseOf(*WindowKeyOf(key));
    }
    if (!why.empty()) {
      say(line, why);
      continue;
    }
    wanted[static_cast<size_t>(action)] = Wanted{&line, std::move(keys)};
    order.erase(std::remove(order.begin(), order.end(), action), order.end());
    order.push_back(action);
  }
  // A key two actions would share: of two lines, the later is ignored, and
  // a line is against an action the file leaves alone; the action whose line
  // goes keeps the keys it had, which are looked at again with the rest.
  const auto keys_of = [&](int action) -> const std::vector<SDL_Scancode>& {
    const Wanted& w = wanted[static_cast<size_t>(action)];
    return w.line != nullptr ? w.keys : keys_[static_cast<size_t>(action)];
  };
  for (;;) {
    int first = -1;  // the earliest line with a key another action holds
    int other = -1;
    SDL_Scancode key = SDL_SCANCODE_UNKNOWN;
    for (size_t i = 0; i < order.size() && first < 0; ++i) {
      for (SDL_Scancode mine : keys_of(order[i])) {
        for (int action = 0; action < kKeyActions && first < 0; ++action) {
          const std::vector<SDL_Scancode>& theirs = keys_of(action);
          if (action != order[i] && std::find(theirs.begin(), theirs.end(), mine) != theirs.end()) {
            first = order[i];
            other = action;
            key = mine;
          }
        }
      }
    }
    if (first < 0)
      break;
    const bool other_has_line = wanted[static_cast<size_t>(other)].line != nullptr;
    const int going = other_has_line ? other : first;
    const int keeping = other_has_line ? first : other;
    say(*wanted[static_cast<size_t>(going)].line,
        KeyName(key) + " is the key for " + kActions[keeping].name + " too");
    wanted[static_cast<size_t>(going)] = Wanted{};
    order.erase(std::find(order.begin(), order.end(), going));
  }
  for (int action = 0; action < kKeyActions; ++action) {
    if (wanted[static_cast<size_t>(action)].line != nullptr)
      keys_[static_cast<size_t>(action)] = wanted[static_cast<size_t>(action)].keys;
  }
  return problems;
}

std::optional<uint8_t> KeyBindings::VirtualKeyOf(SDL_Scancode scancode) const {
  for (int action = 0; action < kKeyActions; ++action) {
    const std::vector<SDL_Scancode>& keys = keys_[static_cast<size_t>(action)];
    if (kActions[action].virtual_key != 0 &&
        std::find(keys.begin(), keys.end(), scancode) != keys.end()) {
      return kActions[action].virtual_key;
    }
  }
  return std::nullopt;
}

bool KeyBindings::IsPause(SDL_Scancode scancode) const {
  const std::vector<SDL_Scancode>& keys = KeysOf(KeyAction::kPause);
  return std::find(keys.begin(), keys.end(), scancode) != keys.end();
}

void KeyBindings::Fill(const Uint8* scancode_states, int count, KeySnapshot& keys) const {
  keys.fill(0);
  if (scancode_states == nullptr)
    return;
  for (int action = 0; action < kKeyActions; ++action) {
    if (kActions[action].virtual_key == 0)
      continue;
    for (SDL_Scancode key : keys_[static_cast<size_t>(action)]) {
      if (key < count && scancode_states[key] != 0)
        keys[kActions[action].virtual_key] = kKeyDownBit;
    }
  }
}

}  // namespace rallix
