// What the save state fuzz target checks (fuzz/state_load_fuzzer.cpp), and
// the unit tests again on what it found (tests/data/fuzz/state/). The input
// is a state, then a byte of the pad's buttons for each run. A libretro core
// refuses the state, unchanged, or takes it; a state it takes saves again to
// the same bytes, and in the 200 runs after it the game goes on (no sound
// holds it that long) or ends as the player ends it, never on an error; and
// nothing crashes or overflows. A fault aborts. Each state is offered as it
// is and with its length and checksum made right, so mutations reach fields.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "demo/crc32.h"
#include "demo/state_format.h"
#include "libretro/retro_core.h"

namespace rallix::fuzz {

inline const uint8_t* keys = nullptr;
inline size_t key_count = 0;
inline uint64_t run = 0;
inline bool stopped = false;  // the core said the game stopped on an error

inline bool Environment(unsigned command, void* data) {
  stopped =
      stopped || (command == RETRO_ENVIRONMENT_SET_MESSAGE &&
                  std::string(static_cast<const retro_message*>(data)->msg).find("has stopped") !=
                      std::string::npos);
  return true;
}

inline int16_t Pad(unsigned port, unsigned device, unsigned, unsigned id) {
  // Bit n of the run's byte is button n: B, Y, Select, Start and the arrows.
  const bool pad = port == 0 && device == RETRO_DEVICE_JOYPAD && key_count > 0 && id < 8;
  return pad ? (keys[run % key_count] >> id & 1) : 0;
}

inline std::vector<uint8_t> Mended(std::vector<uint8_t> state) {
  const uint32_t length = state[14] | state[15] << 8 | state[16] << 16 | uint32_t{state[17]} << 24;
  const size_t end = 18 + length % (kStateBytes - 22);  // after the header, before the checksum
  const uint32_t crc = Crc32(state.data(), end);
  for (size_t i = 0; i < 4; ++i) {
    state[14 + i] = static_cast<uint8_t>((end - 18) >> (8 * i));
    state[end + i] = static_cast<uint8_t>(crc >> (8 * i));
  }
  std::fill(state.begin() + static_cast<ptrdiff_t>(end) + 4, state.end(), 0);
  return state;
}

inline libretro::Frontend frontend{Environment, nullptr, nullptr, nullptr, Pad};
inline std::unique_ptr<libretro::RetroCore> core;  // new until a state is taken
inline std::vector<uint8_t> start(kStateBytes);    // its state

inline void Check(const std::vector<uint8_t>& state) {
  if (core == nullptr) {
    core = std::make_unique<libretro::RetroCore>(frontend);
    core->Save(start.data(), start.size());
  }
  std::vector<uint8_t> saved(kStateBytes);
  std::vector<uint8_t> again(kStateBytes);
  if (!core->Load(state.data(), state.size())) {
    if (!core->Save(saved.data(), saved.size()) || saved != start)
      std::abort();  // a state refused changed the game
    return;
  }
  if (!core->Save(saved.data(), saved.size()) || saved != state ||
      !core->Load(saved.data(), saved.size()) || !core->Save(again.data(), again.size()) ||
      saved != again) {
    std::abort();  // a state taken is not saved as it was taken
  }
  stopped = false;
  const int64_t passes = core->Passes();
  for (run = 0; run < 200 && !core->Ended(); ++run)
    core->Run();
  if (core->Ended() ? stopped : core->Passes() == passes)
    std::abort();  // the game stopped on an error, or stands still
  core.reset();
}

inline void CheckState(const uint8_t* data, size_t size) {
  std::vector<uint8_t> state(data, data + std::min(size, kStateBytes));
  state.resize(kStateBytes);
  keys = size > kStateBytes ? data + kStateBytes : data;
  key_count = size - std::min(size, kStateBytes);
  Check(state);
  Check(Mended(state));
}

}  // namespace rallix::fuzz
