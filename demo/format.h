// The words of the demo file (docs/demo-format.md describes it whole): its
// magic, version and limits, the record codes, and the byte that holds the
// five game keys. Every number in the file is little-endian.
#pragma once

#include <cstddef>
#include <cstdint>

#include "game/platform.h"

namespace rallix {

// "RLXDEMO" and 0x1A.
constexpr uint8_t kDemoMagic[8] = {0x52, 0x4C, 0x58, 0x44, 0x45, 0x4D, 0x4F, 0x1A};
constexpr uint16_t kDemoFormatVersion = 1;

// What a reader accepts, and a recorder never goes beyond.
constexpr size_t kMostDemoBytes = 4 * 1024 * 1024;
constexpr size_t kMostDemoChunkBytes = 64 * 1024;
constexpr size_t kMostGameVersionBytes = 32;

// A recorder closes a chunk every so many passes, about a second of play,
// whatever the passes were; a reader refuses a chunk that holds more. So a
// file replays in a time bounded by its size: 60 passes to the 14 bytes of
// the smallest chunk that holds them.
constexpr int64_t kDemoPassesPerChunk = 60;

// The records of a chunk, each a code byte and its operands.
enum class DemoCode : uint8_t {
  kBackgroundPasses = 0x01,  // count: passes not in front
  kKeyPasses = 0x02,         // keys, count: passes in front that each read these keys once
  kPass = 0x03,              // a pass in front; its reads follow
  kKeys = 0x04,              // keys: a key snapshot of that pass
  kClock = 0x05,             // int32: a reading of the play clock in that pass
  kEndClosed = 0x10,         // the window was closed at the next pass's messages
  kEndClosedInSound = 0x11,  // the window was closed during a synchronous sound of the last pass
  kEndGameEnded = 0x12,      // the game ended by itself ("QUIT GAME", or an error)
};

// The five game keys of a snapshot as one byte: Space, Left, Up, Right and
// Down from bit 0 up; the other bits are always clear.
constexpr uint8_t kDemoKeyBits = 0x1F;
uint8_t DemoKeysOf(const KeySnapshot& keys);
// The snapshot a demo's key byte stands for: those keys down, nothing else.
void SetDemoKeys(uint8_t demo_keys, KeySnapshot& keys);

}  // namespace rallix
