// The game's four sounds as the core carries them: the WAV files of
// cmake/GameSounds.cmake's list, built into the core, in the list's order.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rallix::libretro {

struct EmbeddedSound {
  const char* name;  // as the game plays it: "pon.WAV"
  const uint8_t* bytes;
  size_t size;
};

extern const EmbeddedSound kEmbeddedSounds[];
extern const size_t kEmbeddedSoundCount;

}  // namespace rallix::libretro
