// Frames of the headless game in named situations, the references that the
// captures of the real window are compared with.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "display/surface.h"

namespace rallix::e2e {

struct SituationInfo {
  std::string name;
  std::string description;
};

// Every situation that RenderSituation knows.
std::vector<SituationInfo> Situations();

// The frame the game presents last in the situation: the game is loaded and
// run for the situation's passes with its keys, as the window would run it.
// Nothing for an unknown name.
std::optional<Surface> RenderSituation(const std::string& name);

}  // namespace rallix::e2e
