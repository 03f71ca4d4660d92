#include "libretro/embedded_sounds.h"

#include "generated/libretro_lists.h"

// The files' bytes, made by cmake/EmbedFile.cmake.
namespace rallix {
#define RALLIX_DECLARE_SOUND(name, symbol) \
  extern const uint8_t symbol[];           \
  extern const size_t symbol##Size;
RALLIX_EMBEDDED_SOUNDS(RALLIX_DECLARE_SOUND)
#undef RALLIX_DECLARE_SOUND
}  // namespace rallix

namespace rallix::libretro {

const EmbeddedSound kEmbeddedSounds[] = {
#define RALLIX_SOUND_ENTRY(name, symbol) {name, symbol, symbol##Size},
    RALLIX_EMBEDDED_SOUNDS(RALLIX_SOUND_ENTRY)
#undef RALLIX_SOUND_ENTRY
};
const size_t kEmbeddedSoundCount = sizeof kEmbeddedSounds / sizeof kEmbeddedSounds[0];

}  // namespace rallix::libretro
