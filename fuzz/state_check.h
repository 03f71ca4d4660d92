// What the save state fuzz target checks (fuzz/state_load_fuzzer.cpp), and
// the unit tests again on what it found (tests/data/fuzz/state/): whatever
// the bytes, a new libretro core refuses them, unchanged, or takes them, and
// what a state it takes leads to may not crash, overflow or stop the game. The state,
// saved again, loads to the same bytes; then the core runs 200 runs with the
// pad's keys from the input's bytes after the state, and through them the
// game goes on (its passes run: no sound holds it that long) or ends as the
// player ends it ("QUIT GAME"), never with an error. A fault aborts.
//
// Each state is read as it is, and with its length and checksum made right,
// so that mutations reach the fields.
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

using rallix::kStateBytes;
using rallix::libretro::Frontend;
using rallix::libretro::RetroCore;

constexpr uint64_t kRuns = 200;
constexpr size_t kHeaderBytes = 18;  // up to the fields' length

struct Session {
  const uint8_t* keys = nullptr;
  size_t key_count = 0;
  uint64_t run = 0;
  bool stopped = false;  // the core said the game stopped on an error
};
inline Session session;

inline bool Environment(unsigned command, void* data) {
  if (command == RETRO_ENVIRONMENT_SET_MESSAGE &&
      std::string(static_cast<const retro_message*>(data)->msg).find("has stopped") !=
          std::string::npos) {
    session.stopped = true;
  }
  return true;
}

inline int16_t Pad(unsigned port, unsigned device, unsigned, unsigned id) {
  if (port != 0 || device != RETRO_DEVICE_JOYPAD || session.key_count == 0 || id > 7)
    return 0;
  // Bit n of the run's byte holds button n: B, Y, Select, Start and the arrows.
  return (session.keys[session.run % session.key_count] >> id & 1) != 0 ? 1 : 0;
}

inline uint32_t LittleEndianAt(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
}

// The fields' length kept within the state, and the checksum after them made
// right, zeros after it.
inline std::vector<uint8_t> Mended(std::vector<uint8_t> state) {
  const size_t length = LittleEndianAt(state, kHeaderBytes - 4) % (kStateBytes - kHeaderBytes - 4);
  const size_t end = kHeaderBytes + length;
  for (size_t i = 0; i < 4; ++i)
    state[kHeaderBytes - 4 + i] = static_cast<uint8_t>(length >> (8 * i));
  const uint32_t crc = rallix::Crc32(state.data(), end);
  for (size_t i = 0; i < 4; ++i)
    state[end + i] = static_cast<uint8_t>(crc >> (8 * i));
  std::memset(state.data() + end + 4, 0, kStateBytes - end - 4);
  return state;
}

// A new core, until a state is taken: a state refused leaves it as it was.
struct Gate {
  Frontend frontend;
  std::unique_ptr<RetroCore> core;
  std::vector<uint8_t> start;  // its state

  void Open() {
    frontend.environment = Environment;
    frontend.input_state = Pad;
    core = std::make_unique<RetroCore>(frontend);
    start.assign(kStateBytes, 0);
    if (!core->Save(start.data(), start.size()))
      std::abort();
  }
};
inline Gate gate;

inline void Check(const std::vector<uint8_t>& state) {
  if (gate.core == nullptr)
    gate.Open();
  RetroCore& core = *gate.core;
  std::vector<uint8_t> saved(kStateBytes);
  if (!core.Load(state.data(), state.size())) {
    if (!core.Save(saved.data(), saved.size()) || saved != gate.start)
      std::abort();  // a state refused changed the game
    return;
  }
  std::vector<uint8_t> again(kStateBytes);
  if (!core.Save(saved.data(), saved.size()) || !core.Load(saved.data(), saved.size()) ||
      !core.Save(again.data(), again.size()) || saved != again) {
    std::abort();  // a state taken is not saved as it was taken
  }
  session.stopped = false;
  const int64_t passes = core.Passes();
  for (session.run = 0; session.run < kRuns && !core.Ended(); ++session.run)
    core.Run();
  if (core.Ended() ? session.stopped : core.Passes() == passes)
    std::abort();  // the game stopped with an error, or stands still
  gate.Open();
}

// A state, and after it a byte of the pad's buttons for each run.
inline void CheckState(const uint8_t* data, size_t size) {
  std::vector<uint8_t> state(data, data + std::min(size, kStateBytes));
  state.resize(kStateBytes);
  session.keys = size > kStateBytes ? data + kStateBytes : nullptr;
  session.key_count = size > kStateBytes ? size - kStateBytes : 0;
  Check(state);
  Check(Mended(state));
}

}  // namespace rallix::fuzz
