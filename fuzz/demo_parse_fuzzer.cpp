// libFuzzer target for the demo file's reader (demo/parser.cpp): whatever the
// bytes, it refuses or returns a demo, reading none past the end, and what
// it returns keeps the reader's promises: the passes add up, every reading
// belongs to a pass, and no file holds more passes than its size allows (60
// passes to the 14 bytes of the smallest chunk), so that any demo it accepts
// replays in a time bounded by its size.
//
// Each input is read as it is, and again with its checksums made right, so
// that mutations inside a chunk reach its records instead of its checksum.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "demo/crc32.h"
#include "demo/format.h"
#include "demo/parser.h"

namespace {

uint32_t LittleEndianAt(const std::vector<uint8_t>& bytes, size_t at) {
  return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | uint32_t{bytes[at + 3]} << 24;
}

void PutLittleEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The header's checksum, and each chunk's NLEN and checksum, made right.
std::vector<uint8_t> Mended(std::vector<uint8_t> bytes) {
  if (bytes.size() < 11)
    return bytes;
  size_t at = 15 + size_t{bytes[10]};
  if (bytes.size() < at)
    return bytes;
  PutLittleEndian(bytes, at - 4, rallix::Crc32(bytes.data(), at - 4));
  while (bytes.size() - at >= 8) {
    const uint32_t length = LittleEndianAt(bytes, at);
    if (length == 0 || length > rallix::kMostDemoChunkBytes)
      break;
    PutLittleEndian(bytes, at + 4, ~length);
    if (bytes.size() - at - 8 < size_t{length} + 4)
      break;
    PutLittleEndian(bytes, at + 8 + length, rallix::Crc32(bytes.data() + at + 8, length));
    at += 12 + size_t{length};
  }
  return bytes;
}

void Check(const std::vector<uint8_t>& bytes) {
  const rallix::ParsedDemo parsed = rallix::ParseDemo(bytes);
  const rallix::Demo& demo = parsed.demo;
  if (!parsed.error.empty())
    return;
  int64_t passes = 0;
  size_t reads = 0;
  for (const rallix::DemoPasses& run : demo.passes) {
    if (run.count == 0 || run.first_read != reads || (!run.in_front && run.read_count != 0))
      std::abort();
    passes += run.count;
    reads += run.read_count;
  }
  if (passes != demo.pass_count || reads != demo.reads.size() ||
      demo.pass_count * 14 > rallix::kDemoPassesPerChunk * static_cast<int64_t>(bytes.size()))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> bytes(data, data + size);
  Check(bytes);
  Check(Mended(bytes));
  return 0;
}
