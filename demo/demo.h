// A demo as the player replays it: what the game read from the outside world
// in each pass of the frame loop, and how the run ended.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rallix {

// One reading the game took during a pass, in the order it took them.
struct DemoRead {
  enum class Kind : uint8_t { kKeys, kClock };
  Kind kind = Kind::kKeys;
  int32_t value = 0;  // the key byte (demo/format.h), or the clock reading
  friend bool operator==(const DemoRead& a, const DemoRead& b) {
    return a.kind == b.kind && a.value == b.value;
  }
};

// `count` passes alike: not in front (no readings), or in front, each taking
// the readings reads[first_read .. first_read + read_count) of the demo.
struct DemoPasses {
  bool in_front = false;
  uint32_t count = 1;
  uint32_t first_read = 0;
  uint32_t read_count = 0;
};

enum class DemoEnd : uint8_t {
  kNone,           // no end record: the demo ends early, after its last pass
  kClosed,         // the window was closed at the messages after the last pass
  kClosedInSound,  // the window was closed during a synchronous sound of the last pass
  kGameEnded,      // the game ended by itself ("QUIT GAME", or an error), which it replays
};

struct Demo {
  std::string game_version;  // the version of the game that recorded it
  std::vector<DemoPasses> passes;
  std::vector<DemoRead> reads;
  DemoEnd end = DemoEnd::kNone;
  int64_t pass_count = 0;  // the sum of the counts
};

}  // namespace rallix
