#include "tests/e2e/programs/scripted_situations.h"

#include <cstdint>

#include "game/form_main.h"
#include "game/main_loop.h"
#include "tests/support/scripted_platform.h"

namespace rallix::e2e {
namespace {

// Keys held during each pass, one entry per pass; the situation's frame is
// the one the last pass presents.
struct Situation {
  const char* name;
  const char* description;
  std::vector<std::vector<uint8_t>> keys_by_pass;
};

const std::vector<Situation>& AllSituations() {
  static const std::vector<Situation> situations = {
      {"title", "the title screen after its first pass", {{}}},
      {"title-config", "the title with the mark moved down to CONFIG", {{}, {kVkDown}}},
      {"title-quit",
       "the title with the mark moved down twice, to QUIT GAME",
       {{}, {kVkDown}, {}, {kVkDown}}},
      {"config",
       "the configuration menu's first frame, opened from the title",
       {{}, {kVkDown}, {}, {kVkSpace}, {}}},
  };
  return situations;
}

}  // namespace

std::vector<SituationInfo> Situations() {
  std::vector<SituationInfo> infos;
  for (const Situation& situation : AllSituations()) {
    infos.push_back({situation.name, situation.description});
  }
  return infos;
}

std::optional<Surface> RenderSituation(const std::string& name) {
  for (const Situation& situation : AllSituations()) {
    if (name != situation.name)
      continue;
    testing::ScriptedPlatform platform;
    platform.on_messages = [&](int64_t pass) {
      platform.held_keys = situation.keys_by_pass[static_cast<size_t>(pass)];
    };
    FormMain form(platform);
    MainLoop loop(form, platform);
    loop.Run(static_cast<int64_t>(situation.keys_by_pass.size()));
    return platform.last_frame;
  }
  return std::nullopt;
}

}  // namespace rallix::e2e
