// make_sounds <dir>: writes the game's four sound effects into <dir>.
#include <cstdio>

#include "tools/file_output.h"
#include "tools/sound_synth.h"

namespace {

int WriteSounds(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sounds <dir>\n");
    return 2;
  }
  rallix::art::WriteAll(argv[1], rallix::art::GameSoundFiles());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return rallix::art::RunGenerator("make_sounds", WriteSounds, argc, argv);
}
