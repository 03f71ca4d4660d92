// The demo file's reader refuses what it cannot play, with the reason in one
// line, rule by rule (the crafted files of tests/data/demos/crafted.txt),
// and never reads past the bytes it is given; whatever the fuzzer ever found
// (tests/data/fuzz/demo/) is read without harm.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "demo/crc32.h"
#include "demo/format.h"
#include "demo/parser.h"
#include "tests/support/demo_recordings.h"

namespace rallix::testing {
namespace {

const std::string kData = std::string(RALLIX_SOURCE_DIR) + "/tests/data/";

std::string Refusal(const std::vector<uint8_t>& bytes) {
  return ParseDemo(bytes).error;
}

void PutLittleEndian(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i)
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at) + i,
                 static_cast<uint8_t>(value >> (8 * i)));
}

// The bytes crafted.txt describes: hex bytes, HH*N, `magic`, { } for the
// bytes between and their CRC-32, [ ] for a chunk around its records.
std::vector<uint8_t> Crafted(const std::string& description) {
  std::vector<uint8_t> bytes;
  std::vector<size_t> opened;  // where each { or [ opened
  std::istringstream words(description);
  for (std::string word; words >> word;) {
    if (word == "magic") {
      bytes.insert(bytes.end(), std::begin(kDemoMagic), std::end(kDemoMagic));
    } else if (word == "{" || word == "[") {
      opened.push_back(bytes.size());
    } else if (word == "}" || word == "]") {
      const size_t from = opened.back();
      opened.pop_back();
      const auto length = static_cast<uint32_t>(bytes.size() - from);
      PutLittleEndian(bytes, bytes.size(), Crc32(bytes.data() + from, length));
      if (word == "]") {
        PutLittleEndian(bytes, from, ~length);
        PutLittleEndian(bytes, from, length);
      }
    } else {
      const size_t star = word.find('*');
      const size_t count = star == std::string::npos ? 1 : std::stoul(word.substr(star + 1));
      bytes.insert(bytes.end(), count,
                   static_cast<uint8_t>(std::stoul(word.substr(0, 2), nullptr, 16)));
    }
  }
  return bytes;
}

TEST(DemoFile, EachCraftedFileIsRefusedForTheRuleItBreaksAndOnlyThat) {
  std::ifstream table(kData + "demos/crafted.txt");
  int rows = 0;
  for (std::string line; std::getline(table, line);) {
    if (line.empty() || line[0] == '#')
      continue;
    const size_t first = line.find('|');
    const size_t second = line.find('|', first + 1);
    ASSERT_NE(second, std::string::npos) << line;
    const std::string rule = line.substr(0, first);
    const std::string outcome = line.substr(second + 2);
    const ParsedDemo parsed = ParseDemo(Crafted(line.substr(first + 1, second - first - 1)));
    if (parsed.error.empty())
      EXPECT_EQ("a demo of " + std::to_string(parsed.demo.pass_count) + " passes", outcome) << rule;
    else
      EXPECT_EQ("refused: " + parsed.error, outcome) << rule;
    ++rows;
  }
  EXPECT_EQ(rows, 37);
}

TEST(DemoFile, ARecordingDamagedAnywhereIsRefusedWhereTheDamageIs) {
  const Recording recorded = RecordScriptedGame();
  const std::vector<uint8_t>& good = recorded.sink.bytes;
  const size_t second_chunk = recorded.sink.piece_ends[1];
  ASSERT_EQ(Refusal(good), "");

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

  std::vector<uint8_t> more = good;
  const std::vector<uint8_t> after = Crafted("[ 01 05 ]");
  more.insert(more.end(), after.begin(), after.end());
  EXPECT_EQ(Refusal(more), "the demo is damaged at byte " + std::to_string(good.size()) +
                               ": data after the demo's end");
}

TEST(DemoFile, WhatTheFuzzerFoundIsReadWithoutHarm) {
  // Each file is read under the sanitizers; the reader says what it says.
  for (const auto& entry : std::filesystem::directory_iterator(kData + "fuzz/demo")) {
    if (entry.path().extension() == ".md")
      continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    const ParsedDemo parsed = ParseDemo(bytes);
    EXPECT_LE(parsed.demo.pass_count * 14, kDemoPassesPerChunk * static_cast<int64_t>(bytes.size()))
        << entry.path();
  }
}

}  // namespace
}  // namespace rallix::testing
