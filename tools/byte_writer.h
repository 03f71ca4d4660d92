// Appends little- and big-endian integers to a growing byte buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace rallix::art {

class ByteWriter {
 public:
  ByteWriter() = default;
  explicit ByteWriter(size_t expected_size) { bytes_.reserve(expected_size); }

  void U8(uint8_t value) { bytes_.push_back(value); }
  void U16(uint16_t value) {
    U8(static_cast<uint8_t>(value));
    U8(static_cast<uint8_t>(value >> 8));
  }
  void U32(uint32_t value) {
    U16(static_cast<uint16_t>(value));
    U16(static_cast<uint16_t>(value >> 16));
  }
  void S16(int16_t value) { U16(static_cast<uint16_t>(value)); }
  void U32BigEndian(uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
      U8(static_cast<uint8_t>(value >> shift));
  }
  void Bytes(std::string_view text) { bytes_.insert(bytes_.end(), text.begin(), text.end()); }
  void Bytes(const std::vector<uint8_t>& data) {
    bytes_.insert(bytes_.end(), data.begin(), data.end());
  }

  const std::vector<uint8_t>& View() const { return bytes_; }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace rallix::art
