// FNV-1a, 64 bits: a small, fixed hash of a stream of bytes, the same on
// every machine. The digests of the frames a demo shows are made with it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rallix {

class Fnv1a64 {
 public:
  void AddByte(uint8_t byte) { value_ = (value_ ^ byte) * kPrime; }
  void AddBytes(const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i)
      AddByte(bytes[i]);
  }
  // The value's bytes, least significant first.
  void AddLittleEndian(uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
      AddByte(static_cast<uint8_t>(value >> (8 * i)));
  }
  uint64_t Value() const { return value_; }

 private:
  static constexpr uint64_t kOffsetBasis = 14695981039346656037u;
  static constexpr uint64_t kPrime = 1099511628211u;
  uint64_t value_ = kOffsetBasis;
};

}  // namespace rallix
