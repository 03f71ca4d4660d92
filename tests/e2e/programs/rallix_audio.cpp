// rallix_audio: the end-to-end tests' ears. Says what format the game's
// audio device has under SDL's disk driver, and finds the game's sounds in
// what that driver recorded.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "sdl/sound/decode.h"
#include "sdl/sound/device.h"
#include "sdl/sound/file.h"
#include "tests/e2e/programs/sound_finder.h"

namespace rallix::e2e {
namespace {

constexpr int kOk = 0;
constexpr int kTrouble = 2;

int Usage() {
  std::fputs(
      "usage: rallix_audio format   the format of the device the game opens under SDL's\n"
      "                             disk driver: RATE BITS SIGNED|UNSIGNED|FLOAT CHANNELS\n"
      "       rallix_audio find RECORDING.raw SOUND.WAV...\n"
      "                             every place each sound begins in the recording, one\n"
      "                             line each: NAME SECONDS FRAME FRAMES_HEARD whole|cut\n",
      stderr);
  return kTrouble;
}

// The device format the game's own sound player gets from the disk driver. The
// driver writes to /dev/null here: only the format is wanted.
std::optional<SDL_AudioSpec> DiskDeviceFormat() {
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
  SdlSound sound;
  if (!sound.HasDevice()) {
    std::fprintf(stderr, "rallix_audio: no disk audio device: %s\n", SDL_GetError());
    return std::nullopt;
  }
  return sound.DeviceFormat();
}

size_t FrameBytes(const SDL_AudioSpec& device) {
  return static_cast<size_t>(SDL_AUDIO_BITSIZE(device.format) / 8) * device.channels;
}

int PrintFormat() {
  const std::optional<SDL_AudioSpec> device = DiskDeviceFormat();
  if (!device)
    return kTrouble;
  const char* kind = SDL_AUDIO_ISFLOAT(device->format)    ? "FLOAT"
                     : SDL_AUDIO_ISSIGNED(device->format) ? "SIGNED"
                                                          : "UNSIGNED";
  std::printf("%d %d %s %d %s\n", device->freq, SDL_AUDIO_BITSIZE(device->format), kind,
              device->channels, SDL_AUDIO_ISBIGENDIAN(device->format) ? "BE" : "LE");
  return kOk;
}

int Find(const std::string& recording_path, const std::vector<std::string>& sounds) {
  const std::optional<SDL_AudioSpec> device = DiskDeviceFormat();
  if (!device)
    return kTrouble;
  std::ifstream file(recording_path, std::ios::binary);
  if (!file) {
    std::fprintf(stderr, "rallix_audio: cannot read %s\n", recording_path.c_str());
    return kTrouble;
  }
  // The game may still be writing: whatever is there now is searched.
  const std::vector<uint8_t> recording((std::istreambuf_iterator<char>(file)),
                                       std::istreambuf_iterator<char>());
  SoundSearch search;
  search.frame_bytes = FrameBytes(*device);
  search.silence = device->silence;
  // 256 frames of exact 16-bit samples are never met by chance.
  search.min_frames = 256;
  for (const std::string& path : sounds) {
    // Converted exactly as the game converts it for the device.
    const std::optional<std::vector<uint8_t>> bytes = ReadSoundFile(path);
    const std::optional<std::vector<uint8_t>> sound =
        bytes ? DecodeSoundForDevice(bytes->data(), bytes->size(), *device) : std::nullopt;
    if (!sound) {
      std::fprintf(stderr, "rallix_audio: %s is not a sound the game can play\n", path.c_str());
      return kTrouble;
    }
    const std::string name = path.substr(path.find_last_of('/') + 1);
    for (const SoundOccurrence& at : FindSound(recording, *sound, search)) {
      std::printf("%s %.4f %zu %zu %s\n", name.c_str(),
                  static_cast<double>(at.frame) / device->freq, at.frame, at.frames_matched,
                  at.whole ? "whole" : "cut");
    }
  }
  return kOk;
}

}  // namespace
}  // namespace rallix::e2e

int main(int argc, char** argv) {
  using namespace rallix::e2e;
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "format" && argc == 2)
    return PrintFormat();
  if (command == "find" && argc >= 4)
    return Find(argv[2], std::vector<std::string>(argv + 3, argv + argc));
  return Usage();
}
