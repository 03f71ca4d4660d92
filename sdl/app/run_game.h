// The program's start on SDL2: video, the game's window, audio, the platform,
// and the shutdown after the game has ended.
#pragma once

#include <functional>

#include "sdl/app/desktop_platform.h"

namespace rallix {

// Looks the game's sounds up (sdl/sound/folders.h), naming on stderr each one
// found nowhere, starts SDL's video, opens the window (caption "Rallix", a
// 640 x 480 client area times the scale the choices ask for, centred by its
// frame, not resizable, with the game's icons; or the whole screen) and the
// audio, runs `game` on the SDL platform with the player's choices and shuts
// everything down. Returns what `game` returns, or 1 when no window can be
// opened, after one line on stderr. The game is silent when there is no
// audio.
int RunOnSdl(const PlayerChoices& choices, const std::function<int(SdlPlatform&)>& game);
inline int RunOnSdl(const std::function<int(SdlPlatform&)>& game) {
  return RunOnSdl(PlayerChoices{}, game);
}

}  // namespace rallix
