// Games prepared in a chosen state, for starting the real window there: the
// states that last one frame, or that a test could reach from the title only
// by winning or by a long game.
#pragma once

#include <string>
#include <vector>

#include "game/form_main.h"

namespace rallix::e2e {

struct LaunchSetup {
  std::string name;
  std::string description;
};

// Every setup that PrepareSetup knows.
std::vector<LaunchSetup> LaunchSetups();

// Puts the loaded game `form` into the named setup; false for an unknown
// name. Nothing is drawn or played here: the first pass in the foreground
// runs the state's handler as the game would.
bool PrepareSetup(const std::string& name, FormMain& form);

}  // namespace rallix::e2e
