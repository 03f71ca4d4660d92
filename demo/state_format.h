// A state of the running game in bytes, as a platform saves and loads it (the
// libretro core's save states): a fixed size, the same on every machine
// (every number little-endian, field by field, never a structure's memory),
// versioned and checked. StateWriter and StateReader go through the lists of
// fields (game/game_state.h and the platform's own) in the same order.
//
//   "RLXS"; the format's version (u16); the game's version (three u8 and a
//   zero byte); the state's size (u32, kStateBytes); the fields' length (u32);
//   the fields: a number in as many bytes as its type holds, a flag in one,
//   a double as its IEEE bits, the random source in four; a grid as the
//   cells where it differs from the grid it is listed like, row by row: a
//   u16 count of runs, each run its first cell and its length
//   (u16) and its characters; a queue as its length (u8)
//   and each entry's X and Y (i16) and glyph; a queue's count and a
//   constant take no bytes;
//   a CRC-32 of everything before it; zeros to the state's size.
//
// A state of another format or game version or size, damaged, or with a
// value the game cannot hold is refused, saying why.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "display/text_screen.h"
#include "game/game_state.h"
#include "game/random_source.h"

namespace rallix {

constexpr size_t kStateBytes = 4096;

// The bounds of a field, of the field's type whatever the literals are.
template <typename T>
using FieldValue = std::common_type_t<T>;

// Writes a state into kStateBytes bytes.
class StateWriter {
 public:
  explicit StateWriter(uint8_t* out);

  template <typename T>
  void Number(const char* /*name*/, const T& field, FieldValue<T>, FieldValue<T>) {
    Put(static_cast<uint64_t>(static_cast<std::make_unsigned_t<T>>(field)), sizeof(T));
  }
  void Flag(const char* /*name*/, bool field) { Put(field ? 1 : 0, 1); }
  void Real(const char* /*name*/, double field, double, double) {
    uint64_t bits = 0;
    std::memcpy(&bits, &field, sizeof bits);
    Put(bits, 8);
  }
  void Random(const char* /*name*/, const RandomSource& source) { Put(source.State(), 4); }
  void Grid(const char* name, const TextGrid& grid, const TextGrid& like);
  void Queue(const char* name, const std::vector<SpriteEntry>& entries, size_t most,
             SpriteArea area);
  void Count(const char* /*name*/, int16_t count, const std::vector<SpriteEntry>& entries) {
    fits_ = fits_ && static_cast<size_t>(count) == entries.size();
  }
  template <typename T>
  void Constant(const char* /*name*/, const T& /*field*/) {}

  // The checksum and the zeros after it. False when the fields did not fit.
  bool Finish();

 private:
  void Put(uint64_t value, size_t bytes) {
    if (bytes > kEnd - at_) {
      fits_ = false;
      return;
    }
    for (size_t i = 0; i < bytes; ++i)
      out_[at_ + i] = static_cast<uint8_t>(value >> (8 * i));
    at_ += bytes;
  }
  void PutBytes(const char* bytes, size_t count);

  static const size_t kEnd;  // where the fields must end

  uint8_t* out_;
  size_t at_;
  bool fits_ = true;
};

// Reads a state's fields into the fields given, checking each.
class StateReader {
 public:
  // Checks what comes before and after the fields: the header, the
  // checksum, the zeros.
  StateReader(const uint8_t* data, size_t size);

  template <typename T>
  void Number(const char* name, T& field, FieldValue<T> least, FieldValue<T> most) {
    const uint64_t bits = Take(sizeof(T));
    field = static_cast<T>(static_cast<std::make_unsigned_t<T>>(bits));
    if (field < least || field > most)
      Refuse(name);
  }
  void Flag(const char* name, bool& field) {
    const uint64_t bits = Take(1);
    field = bits != 0;
    if (bits > 1)
      Refuse(name);
  }
  void Real(const char* name, double& field, double least, double most);
  void Random(const char* name, RandomSource& source);
  void Grid(const char* name, TextGrid& grid, const TextGrid& like);
  void Queue(const char* name, std::vector<SpriteEntry>& entries, size_t most, SpriteArea area);
  void Count(const char* /*name*/, int16_t& count, const std::vector<SpriteEntry>& entries) {
    count = static_cast<int16_t>(entries.size());
  }
  template <typename T>
  void Constant(const char* /*name*/, T& /*field*/) {}

  // Empty when the state was whole and every field it held one the game
  // can take; else why it is refused, the first thing found.
  std::string Finish();

 private:
  uint64_t Take(size_t bytes) {
    const uint8_t* taken = TakeBytes(bytes);
    uint64_t value = 0;
    for (size_t i = 0; taken != nullptr && i < bytes; ++i)
      value |= uint64_t{taken[i]} << (8 * i);
    return value;
  }
  const uint8_t* TakeBytes(size_t count) {
    if (in_ == nullptr || count > end_ - at_) {
      EndTooSoon();
      return nullptr;
    }
    const uint8_t* bytes = in_ + at_;
    at_ += count;
    return bytes;
  }
  void EndTooSoon();
  // The field named does not hold a value the game can take.
  void Refuse(const char* name);

  const uint8_t* in_ = nullptr;
  size_t at_ = 0;
  size_t end_ = 0;  // where the fields end
  std::string refusal_;
};

}  // namespace rallix
