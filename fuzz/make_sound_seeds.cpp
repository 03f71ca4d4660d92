// Writes the sound fuzz target's seed corpus: every file of the sound tests'
// variants and each WAV named on the command line (the game's own sounds),
// each behind a device-choice byte (see device_choice.h).
//
//   make_sound_seeds OUTPUT_FOLDER [FILE.WAV...]
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/wav_variants.h"

namespace {

// The usual device, then a float, a mono 8-bit and a six-channel one, each
// at another rate, and the usual device with the player's size limit.
constexpr uint8_t kDeviceChoices[] = {0x00, 0x15, 0x2E, 0x5B, 0x80};

bool WriteSeed(const std::string& path, uint8_t choice, const std::vector<uint8_t>& file) {
  std::ofstream out(path, std::ios::binary);
  out.put(static_cast<char>(choice));
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out);
}

// FOLDER/NAME-CC, CC the device choice in hex.
std::string SeedPath(const std::string& folder, const std::string& name, uint8_t choice) {
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02x", choice);
  std::string path = folder;
  path += '/';
  path += name;
  path += '-';
  path += hex;
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_sound_seeds OUTPUT_FOLDER [FILE.WAV...]\n");
    return 2;
  }
  const std::string folder = argv[1];
  int written = 0;
  for (const rallix::testing::SoundVariant& variant : rallix::testing::SoundVariants()) {
    for (uint8_t choice : {kDeviceChoices[0], kDeviceChoices[1 + written % 4]}) {
      const std::string path = SeedPath(folder, variant.name, choice);
      if (!WriteSeed(path, choice, variant.bytes)) {
        std::fprintf(stderr, "make_sound_seeds: cannot write %s\n", path.c_str());
        return 1;
      }
      ++written;
    }
  }
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
      std::fprintf(stderr, "make_sound_seeds: cannot read %s\n", argv[i]);
      return 1;
    }
    std::string name = argv[i];
    name = name.substr(name.find_last_of('/') + 1);
    for (uint8_t choice : kDeviceChoices) {
      const std::string path = SeedPath(folder, name, choice);
      if (!WriteSeed(path, choice, file)) {
        std::fprintf(stderr, "make_sound_seeds: cannot write %s\n", path.c_str());
        return 1;
      }
      ++written;
    }
  }
  std::printf("make_sound_seeds: %d seeds in %s\n", written, folder.c_str());
  return 0;
}
