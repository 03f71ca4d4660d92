# The game's four sounds, the one list of them: the ball on a paddle, the
# ball on a wall, the player's miss and the player's point. The desktop build
# copies and installs them, the browser build packs them, the libretro core
# carries them inside, the Windows zip holds them, the manual page names
# them, and the game's sound search and the synthesiser
# (tools/sound_synth.cpp) take them from the header made here,
# generated/game_sounds.h.
set(RALLIX_SOUNDS pon.WAV pin.WAV pupu.WAV pipopin.WAV)
# Where the build takes them from: copied beside the desktop game, packed and
# installed with it, built into the libretro core.
set(RALLIX_SOUND_DIR ${CMAKE_SOURCE_DIR}/assets
    CACHE PATH "The folder holding the game's four sounds")

# "pon.WAV, pin.WAV, pupu.WAV and pipopin.WAV", for the manual page.
list(LENGTH RALLIX_SOUNDS rallix_sound_count)
math(EXPR rallix_last_sound "${rallix_sound_count} - 1")
list(GET RALLIX_SOUNDS ${rallix_last_sound} rallix_sound_last)
list(SUBLIST RALLIX_SOUNDS 0 ${rallix_last_sound} rallix_sound_rest)
string(JOIN ", " RALLIX_SOUNDS_TEXT ${rallix_sound_rest})
string(APPEND RALLIX_SOUNDS_TEXT " and ${rallix_sound_last}")

set(rallix_sound_items "")
foreach(sound ${RALLIX_SOUNDS})
  string(APPEND rallix_sound_items "\"${sound}\", ")
endforeach()
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/generated/game_sounds.h CONTENT
"// The game's sounds by the names it plays them by, made from the list in
// cmake/GameSounds.cmake.
#pragma once

#define RALLIX_GAME_SOUNDS ${rallix_sound_items}
" @ONLY)
