// The page's runs on a fake page: a run recorded from its title and offered
// to save, byte for byte as docs/demo-format.md works them out; a chosen
// demo played to its end whatever keys are pressed, after a file that is
// refused while the game goes on; a recording stopped and saved, and the
// same demo cut short.
#include "web/page_runs.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "demo/encoder.h"
#include "display/glyph_origin.h"
#include "display/glyph_sheet.h"
#include "game/platform.h"
#include "generated/version.h"
#include "tests/support/fake_page.h"

namespace rallix::web {
namespace {

using testing::FakePage;

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  return std::vector<uint8_t>(values.begin(), values.end());
}

std::vector<uint8_t> Joined(std::vector<uint8_t> bytes, const std::vector<uint8_t>& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
  return bytes;
}

// The chunk of the format's example: "QUIT GAME" chosen in the seventh pass
// (Down, Down, Space), each key down for one pass.
const std::vector<uint8_t> kQuitChunk = Bytes(
    {0x13, 0x00, 0x00, 0x00, 0xEC, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x02, 0x02, 0x10, 0x01, 0x02, 0x00,
     0x01, 0x02, 0x10, 0x01, 0x02, 0x00, 0x01, 0x02, 0x01, 0x01, 0x12, 0x76, 0x26, 0x96, 0x0A});

void Listen(WebPlatform*) {}

void Tap(FakePage& page, int virtual_key, bool down) {
  page.button_events.push_back({KeySource::kTouch, virtual_key, down});
}

bool CellShows(const Surface& canvas, int column, int row, char glyph) {
  const GlyphPoint origin = GlyphOriginOf(glyph);
  for (int y = 0; y < kCellSize; ++y) {
    for (int x = 0; x < kCellSize; ++x) {
      if (canvas.At(column * kCellSize + x, row * kCellSize + y) !=
          BuiltInGlyphSheet().At(origin.x + x, origin.y + y))
        return false;
    }
  }
  return true;
}

TEST(PageRuns, RecordAsksForARunRecordedFromItsTitleWhichIsOfferedWhenTheGameEnds) {
  FakePage page;
  PageRuns runs(page);
  // Record in the third pass of the game; the recorded run's pass k is the
  // page's pass k + 2, counted from 0.
  page.on_pass = [&page](int64_t pass) {
    if (pass == 2)
      page.request.kind = PageRequest::Kind::kRecord;
    const int64_t recorded = pass - 2;
    if (recorded == 3 || recorded == 5)
      Tap(page, kVkDown, true);
    if (recorded == 4 || recorded == 6)
      Tap(page, kVkDown, false);
    if (recorded == 7)
      Tap(page, kVkSpace, true);
  };
  ASSERT_TRUE(runs.RunNext(Listen));
  EXPECT_EQ(page.passes, 3);
  EXPECT_TRUE(page.lines.empty()) << "the game was said to end: " << page.lines[0];
  EXPECT_TRUE(page.offered.empty());

  ASSERT_TRUE(runs.RunNext(Listen));
  EXPECT_EQ(page.runs, (std::vector<RunKind>{RunKind::kGame, RunKind::kRecording}));
  ASSERT_EQ(page.offered.size(), 1u);
  EXPECT_EQ(page.offered[0], Joined(DemoHeader(RALLIX_VERSION), kQuitChunk));
  EXPECT_EQ(page.lines,
            (std::vector<std::string>{"Recording from the title on. Stop and save ends it.",
                                      "The game has ended: Save demo keeps its recording.",
                                      "(play again)", ""}));
}

TEST(PageRuns, AChosenDemoPlaysToItsEndWhateverKeysArePressedAndABadFileIsOnlyRefused) {
  FakePage page;
  PageRuns runs(page);
  // The format's example, whole, as version "1.1.0" recorded it.
  const std::vector<uint8_t> demo =
      Joined(Bytes({0x52, 0x4C, 0x58, 0x44, 0x45, 0x4D, 0x4F, 0x1A, 0x01, 0x00,
                    0x05, 0x31, 0x2E, 0x31, 0x2E, 0x30, 0xA6, 0x34, 0xD5, 0xEE}),
             kQuitChunk);
  page.on_pass = [&page, &demo](int64_t pass) {
    if (pass == 1)
      page.request = {PageRequest::Kind::kPlayDemo, "junk.demo", Bytes({'G', 'I', 'F', '8'})};
    if (pass == 2)
      page.request = {PageRequest::Kind::kPlayDemo, "gone.demo", {}, true};
    if (pass == 4)
      page.request = {PageRequest::Kind::kPlayDemo, "quit.demo", demo};
    // Space and Up held through the demo would start a game, or keep the
    // mark at the top, if the game took them.
    if (pass == 5) {
      Tap(page, kVkSpace, true);
      Tap(page, kVkUp, true);
    }
  };
  ASSERT_TRUE(runs.RunNext(Listen));
  EXPECT_EQ(page.passes, 5) << "the refused file ended the game";
  ASSERT_TRUE(runs.RunNext(Listen));
  EXPECT_EQ(page.runs, (std::vector<RunKind>{RunKind::kGame, RunKind::kDemo}));
  EXPECT_EQ(page.passes, 5 + 7);
  EXPECT_TRUE(CellShows(page.canvas, 5, 17, '>')) << "the mark is not on QUIT GAME";
  EXPECT_EQ(page.lines,
            (std::vector<std::string>{"junk.demo cannot be played: the file is not a Rallix demo.",
                                      "gone.demo cannot be played: the file could not be read.",
                                      "Playing the demo quit.demo. P pauses it.",
                                      "The demo has ended.", "(play again)", ""}));
}

TEST(PageRuns, StopAndSaveEndsTheRecordingAsAClosedWindowAndTheDemoCutShortEndsEarly) {
  FakePage page;
  PageRuns runs(page);
  // Seventy passes on the title, then Stop and save: a chunk of sixty
  // passes and one of ten with the end.
  page.on_pass = [&page](int64_t pass) {
    if (pass == 0)
      page.request.kind = PageRequest::Kind::kRecord;
    if (pass == 71)
      page.request.kind = PageRequest::Kind::kStopRecording;
  };
  ASSERT_TRUE(runs.RunNext(Listen));
  ASSERT_TRUE(runs.RunNext(Listen));
  ASSERT_EQ(page.offered.size(), 1u);
  const std::vector<uint8_t> chunks =
      Bytes({0x03, 0x00, 0x00, 0x00, 0xFC, 0xFF, 0xFF, 0xFF, 0x02, 0x00, 0x3C,
             0xFB, 0x71, 0xAA, 0xD3, 0x04, 0x00, 0x00, 0x00, 0xFB, 0xFF, 0xFF,
             0xFF, 0x02, 0x00, 0x0A, 0x10, 0x79, 0xEF, 0x15, 0x6C});
  std::vector<uint8_t> saved = page.offered[0];
  EXPECT_EQ(saved, Joined(DemoHeader(RALLIX_VERSION), chunks));
  EXPECT_EQ(page.lines[1], "The recording has stopped: Save demo keeps it.");

  // Cut within its last chunk, it plays its first sixty passes.
  saved.resize(saved.size() - 5);
  page.lines.clear();
  page.on_pass = [&page, &saved](int64_t pass) {
    if (pass == 100)
      page.request = {PageRequest::Kind::kPlayDemo, "cut.demo", saved};
  };
  ASSERT_TRUE(runs.RunNext(Listen));
  ASSERT_TRUE(runs.RunNext(Listen));
  EXPECT_EQ(page.lines[1], "The demo ended early at pass 60.");
}

}  // namespace
}  // namespace rallix::web
