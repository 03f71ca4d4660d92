#include "tools/run_length_zlib.h"

#include <algorithm>
#include <array>
#include <utility>

#include "tools/png_file.h"

namespace rallix::art {
namespace {

constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 258;
constexpr size_t kWindow = 32768;

// Lengths 3 to 258 as codes 257 to 285: the first length of each code and
// the extra bits that follow it.
constexpr std::array<uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                  15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                  67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// Distances 1 to 32768 as codes 0 to 29, the same way.
constexpr std::array<uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<uint8_t, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                    4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                    9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// Deflate's bit order: values from their lowest bit, Huffman codes from their highest.
class BitWriter {
 public:
  void Value(uint32_t value, int bits) {
    for (int i = 0; i < bits; ++i) {
      if (used_ == 0)
        bytes_.push_back(0);
      bytes_.back() = static_cast<uint8_t>(bytes_.back() | ((value >> i) & 1u) << used_);
      used_ = (used_ + 1) % 8;
    }
  }
  void Code(uint32_t code, int bits) {
    for (int i = bits - 1; i >= 0; --i)
      Value(code >> i, 1);
  }
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
  int used_ = 0;
};

// A literal/length symbol (0 to 287) in the fixed table.
void Symbol(BitWriter& out, uint32_t symbol) {
  if (symbol < 144)
    out.Code(0x30 + symbol, 8);
  else if (symbol < 256)
    out.Code(0x190 + symbol - 144, 9);
  else if (symbol < 280)
    out.Code(symbol - 256, 7);
  else
    out.Code(0xC0 + symbol - 280, 8);
}

template <size_t N>
size_t CodeOf(const std::array<uint16_t, N>& bases, size_t value) {
  size_t code = N - 1;
  while (bases[code] > value)
    --code;
  return code;
}

void Match(BitWriter& out, size_t length, size_t distance) {
  const size_t length_code = CodeOf(kLengthBase, length);
  Symbol(out, static_cast<uint32_t>(257 + length_code));
  out.Value(static_cast<uint32_t>(length - kLengthBase[length_code]), kLengthExtra[length_code]);
  const size_t distance_code = CodeOf(kDistanceBase, distance);
  out.Code(static_cast<uint32_t>(distance_code), 5);
  out.Value(static_cast<uint32_t>(distance - kDistanceBase[distance_code]),
            kDistanceExtra[distance_code]);
}

size_t MatchLength(const std::vector<uint8_t>& data, size_t at, size_t distance) {
  if (distance == 0 || distance > at || distance > kWindow)
    return 0;
  const size_t limit = std::min(kMaxMatch, data.size() - at);
  size_t length = 0;
  while (length < limit && data[at + length] == data[at + length - distance])
    ++length;
  return length;
}

}  // namespace

std::vector<uint8_t> RunLengthZlib(const std::vector<uint8_t>& data, size_t unit, size_t row) {
  BitWriter out;
  out.Value(0x78, 8);  // deflate, 32 KB window
  out.Value(0x01, 8);  // no preset dictionary; 0x7801 is a multiple of 31
  out.Value(1, 1);     // BFINAL: the only block
  out.Value(1, 2);     // BTYPE 01: fixed Huffman codes
  for (size_t at = 0; at < data.size();) {
    size_t best_length = 0;
    size_t best_distance = 0;
    for (size_t distance : {unit, row}) {
      const size_t length = MatchLength(data, at, distance);
      if (length > best_length) {
        best_length = length;
        best_distance = distance;
      }
    }
    if (best_length >= kMinMatch) {
      Match(out, best_length, best_distance);
      at += best_length;
    } else {
      Symbol(out, data[at]);
      ++at;
    }
  }
  Symbol(out, 256);  // end of block
  std::vector<uint8_t> bytes = out.Take();
  const uint32_t adler = Adler32(data.data(), data.size());
  for (int shift = 24; shift >= 0; shift -= 8)
    bytes.push_back(static_cast<uint8_t>(adler >> shift));
  return bytes;
}

}  // namespace rallix::art
