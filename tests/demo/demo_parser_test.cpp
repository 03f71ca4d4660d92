// The demo file's reader refuses what it cannot play, with the reason in one
// line, and never reads past the bytes it is given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/crc32.h"
#include "demo/encoder.h"
#include "demo/format.h"
#include "demo/parser.h"
#include "tests/support/demo_recordings.h"

namespace rallix::testing {
namespace {

std::string Refusal(const std::vector<uint8_t>& bytes) {
  return ParseDemo(bytes).error;
}

// A chunk around `payload`, its length and checksum right.
std::vector<uint8_t> Chunk(const std::vector<uint8_t>& payload) {
  std::vector<uint8_t> chunk;
  const auto put = [&chunk](uint32_t value) {
    for (int i = 0; i < 4; ++i)
      chunk.push_back(static_cast<uint8_t>(value >> (8 * i)));
  };
  put(static_cast<uint32_t>(payload.size()));
  put(~static_cast<uint32_t>(payload.size()));
  chunk.insert(chunk.end(), payload.begin(), payload.end());
  put(Crc32(payload.data(), payload.size()));
  return chunk;
}

std::vector<uint8_t> Joined(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(DemoFile, FilesThatAreNotDemosThisGameCanPlayAreRefusedWithTheReason) {
  const Recording recorded = RecordScriptedGame();
  const std::vector<uint8_t>& good = recorded.sink.bytes;
  const size_t second_chunk = recorded.sink.piece_ends[1];
  ASSERT_EQ(Refusal(good), "");

  EXPECT_EQ(Refusal({}), "the file is not a Rallix demo");
  EXPECT_EQ(Refusal({'P', 'K', 3, 4, 20, 0, 0, 0, 8, 0, 0, 0}), "the file is not a Rallix demo");

  std::vector<uint8_t> newer = good;
  newer[8] = 2;
  EXPECT_EQ(Refusal(newer),
            "the demo was made by a newer Rallix (format 2; this one plays format 1)");

  std::vector<uint8_t> bad_header = good;
  bad_header[11] ^= 0x01;  // in the game's version
  EXPECT_EQ(Refusal(bad_header), "the demo's header is damaged");

  std::vector<uint8_t> bad_payload = good;
  bad_payload[second_chunk + 9] ^= 0x04;
  EXPECT_EQ(Refusal(bad_payload), "the demo is damaged at byte " + std::to_string(second_chunk) +
                                      ": a chunk does not match its checksum");

  std::vector<uint8_t> bad_length = good;
  bad_length[second_chunk] ^= 0x01;
  EXPECT_EQ(Refusal(bad_length), "the demo is damaged at byte " + std::to_string(second_chunk) +
                                     ": a chunk's length does not check");

  std::vector<uint8_t> too_large = good;
  too_large.resize(kMostDemoBytes + 1);
  EXPECT_EQ(Refusal(too_large), "the file is too large for a demo (more than 4194304 bytes)");

  EXPECT_EQ(
      Refusal(Joined(good, Chunk({0x01, 0x05}))),
      "the demo is damaged at byte " + std::to_string(good.size()) + ": data after the demo's end");

  // Checksums right, records wrong: a count that runs past its chunk, a
  // reading outside a pass, and more passes than a demo may hold.
  const std::vector<uint8_t> header = DemoHeader("1.1.0");
  const size_t records = header.size() + 8;
  EXPECT_EQ(Refusal(Joined(header, Chunk({0x01, 0x05, 0x02, 0x00, 0x85}))),
            "the demo is damaged at byte " + std::to_string(records + 2) +
                ": a record runs past the end of its chunk");
  EXPECT_EQ(
      Refusal(Joined(header, Chunk({0x01, 0x05, 0x04, 0x00}))),
      "the demo is damaged at byte " + std::to_string(records + 2) + ": a reading outside a pass");
  EXPECT_EQ(
      Refusal(Joined(header, Chunk({0x01, 0x80, 0x80, 0x80, 0x20, 0x01, 0x01}))),
      "the demo is damaged at byte " + std::to_string(records + 5) + ": more than 67108864 passes");
}

}  // namespace
}  // namespace rallix::testing
