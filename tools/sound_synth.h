// The game's four sound effects, synthesised from short note lists. All the
// arithmetic is integer, so every run on every machine gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/file_output.h"

namespace rallix::art {

constexpr uint32_t kSoundSampleRate = 22050;

struct Note {
  uint32_t start_hz;      // pitch at the note's start
  uint32_t end_hz;        // pitch at its end, glided linearly
  uint32_t duration_ms;   // the note's length, its fade-in and fade-out included
  uint32_t half_life_ms;  // the tone halves its loudness every half_life_ms
  uint32_t square_share;  // 0 (pure triangle) to 256 (pure square)
};

struct SoundRecipe {
  std::string file_name;
  std::vector<Note> notes;  // played one after the other
  int32_t peak;             // the loudest sample, the whole sound scaled to it
};

// The recipes of "pon.WAV", "pin.WAV", "pupu.WAV" and "pipopin.WAV".
std::vector<SoundRecipe> GameSoundRecipes();

// The samples of one sound at kSoundSampleRate.
std::vector<int16_t> Synthesise(const SoundRecipe& recipe);

// The game's sounds (cmake/GameSounds.cmake names them) as WAVE files, in
// the order of that list; a name without a recipe is an error.
std::vector<GeneratedFile> GameSoundFiles();

}  // namespace rallix::art
