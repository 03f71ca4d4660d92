// What the program reads back from the page's script: presses in batches
// and the player's request, in the numbers of tests/data/page_facts.json.
#include "web/page_calls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace rallix::web {
namespace {

TEST(PageCalls, PressesComeInBatchesAndOnesFromNoKnownSourceAreDropped) {
  // 40 presses held: touch (1) and pad (2) Left and Right, and an unknown
  // source's (3) and a keyboard's (0), which the page never sends.
  std::vector<int32_t> held;
  for (int i = 0; i < 40; ++i)
    held.insert(held.end(), {(i + 1) % 4, i % 2 == 0 ? 37 : 39, i % 3 == 0 ? 1 : 0});
  size_t at = 0;
  std::vector<int> batches;
  const std::vector<ButtonEvent> events = ReadButtonEvents([&](int32_t* out, int capacity) {
    const int count = std::min<int>(capacity, static_cast<int>((held.size() - at) / 3));
    std::memcpy(out, held.data() + at, sizeof(int32_t) * 3 * static_cast<size_t>(count));
    at += 3 * static_cast<size_t>(count);
    batches.push_back(count);
    return count;
  });
  EXPECT_EQ(batches, (std::vector<int>{32, 8}));
  ASSERT_EQ(events.size(), 20u);
  for (size_t i = 0; i < events.size(); ++i) {
    const int press = 4 * static_cast<int>(i / 2) + static_cast<int>(i % 2);
    EXPECT_EQ(events[i].source, i % 2 == 0 ? KeySource::kTouch : KeySource::kPad) << i;
    EXPECT_EQ(events[i].virtual_key, i % 2 == 0 ? 37 : 39) << i;
    EXPECT_EQ(events[i].down, press % 3 == 0) << i;
  }
  // A page that says it copied more than it was asked for is read no further.
  int calls = 0;
  EXPECT_EQ(ReadButtonEvents([&](int32_t* out, int capacity) {
              std::fill(out, out + 3 * capacity, 1);
              return ++calls == 1 ? capacity + 1 : 0;
            }).size(),
            32u);
}

TEST(PageCalls, ARequestIsReadInThePagesNumbersWithTheChosenFileOrItsAbsence) {
  int copies = 0;
  const auto copy = [&](char* name, int capacity, uint8_t* bytes) {
    ++copies;
    ASSERT_EQ(capacity, 10);
    std::memcpy(name, "gone.demo", 10);
    if (bytes != nullptr)
      std::memcpy(bytes, "RLX", 3);
  };
  const int32_t none[2] = {0, 0};
  for (const auto& [kind, expected] :
       std::vector<std::pair<int, PageRequest::Kind>>{{0, PageRequest::Kind::kNone},
                                                      {1, PageRequest::Kind::kRecord},
                                                      {2, PageRequest::Kind::kStopRecording},
                                                      {4, PageRequest::Kind::kNone}}) {
    EXPECT_EQ(ReadRequest(kind, none, copy).kind, expected) << kind;
  }
  EXPECT_EQ(copies, 0) << "a file copied for a request without one";
  const int32_t read[2] = {9, 3};
  PageRequest demo = ReadRequest(3, read, copy);
  EXPECT_EQ(demo.kind, PageRequest::Kind::kPlayDemo);
  EXPECT_EQ(demo.file_name, "gone.demo");
  EXPECT_EQ(demo.bytes, (std::vector<uint8_t>{'R', 'L', 'X'}));
  EXPECT_FALSE(demo.unreadable);
  const int32_t empty[2] = {9, 0};
  EXPECT_FALSE(ReadRequest(3, empty, copy).unreadable) << "an empty file is read";
  const int32_t unreadable[2] = {9, -1};
  demo = ReadRequest(3, unreadable, copy);
  EXPECT_EQ(demo.file_name, "gone.demo");
  EXPECT_TRUE(demo.bytes.empty());
  EXPECT_TRUE(demo.unreadable);
  EXPECT_EQ(copies, 3);
}

}  // namespace
}  // namespace rallix::web
