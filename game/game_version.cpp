#include "game/game_version.h"

namespace rallix {

std::string_view GameVersion() {
  return RALLIX_VERSION;
}

}  // namespace rallix
