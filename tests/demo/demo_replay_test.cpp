// Recording a game and playing it back: the same frames, the same demo, and
// the replay's end where and as the recording ended.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/format.h"
#include "demo/parser.h"
#include "demo/player.h"
#include "demo/timed_replay.h"
#include "game/mod_main.h"
#include "generated/version.h"
#include "tests/support/demo_recordings.h"

namespace rallix::testing {
namespace {

// Passes of the scripted game's loop stay far below this bound.
constexpr int64_t kPassBound = 5000;

class DemoReplayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { recording_ = new Recording(RecordScriptedGame()); }
  static void TearDownTestSuite() { delete recording_; }

  static const Recording& Recorded() { return *recording_; }
  static Demo Parsed(const std::vector<uint8_t>& bytes) {
    const ParsedDemo parsed = ParseDemo(bytes);
    EXPECT_EQ(parsed.error, "");
    return parsed.demo;
  }

 private:
  static Recording* recording_;
};

Recording* DemoReplayTest::recording_ = nullptr;

TEST_F(DemoReplayTest, ARecordedGameReplaysToTheSameFramesAndRecordsTheSameDemo) {
  const Recording& recorded = Recorded();
  ASSERT_LT(recorded.passes, kPassBound) << "the scripted game was not closed in its sound";
  ASSERT_TRUE(recorded.sink.finished);
  const Demo demo = Parsed(recorded.sink.bytes);
  EXPECT_EQ(demo.end, DemoEnd::kClosedInSound);
  EXPECT_EQ(demo.pass_count, recorded.passes);
  EXPECT_EQ(demo.game_version, RALLIX_VERSION);

  // Headless and as fast as it goes: the frames' digest made the quick way
  // is the one of the whole frames shown while the game was recorded.
  const TimedReplay timed = RunTimedReplay(demo);
  EXPECT_EQ(timed.end.kind, ReplayEnd::Kind::kFinished) << timed.end.message;
  EXPECT_EQ(timed.end.message,
            "pass " + std::to_string(recorded.passes) + ": the window was closed during a sound");
  EXPECT_EQ(timed.passes, recorded.passes);
  EXPECT_EQ(timed.digest, recorded.digest);

  // On a viewer's platform whose clock reads something else altogether and
  // whose keys are held down, recorded again: byte for byte the same demo.
  ScriptedPlatform viewer;
  viewer.now = 123456789;
  viewer.Hold({kVkRight, kVkSpace});
  DemoPlayer player(viewer, demo);
  BytesSink again;
  EXPECT_EQ(RecordGame(player, again), 0);
  EXPECT_EQ(player.Finish().kind, ReplayEnd::Kind::kFinished);
  EXPECT_TRUE(again.bytes == recorded.sink.bytes);
  EXPECT_EQ(viewer.snapshots_taken, 0);
}

TEST_F(DemoReplayTest, ADemoClosedInASoundEndsThereOnlyWhenItsLastPassHasReadAll) {
  const int64_t passes = Recorded().passes;
  // Its last pass gone: the game plays no sound where the demo ends.
  Demo shorter = Parsed(Recorded().sink.bytes);
  --shorter.passes.back().count;
  --shorter.pass_count;
  // Its last pass with a reading more than the game takes before the sound.
  Demo longer = Parsed(Recorded().sink.bytes);
  DemoPasses last = longer.passes.back();
  --longer.passes.back().count;
  std::vector<DemoRead> reads(longer.reads.begin() + last.first_read,
                              longer.reads.begin() + last.first_read + last.read_count);
  reads.push_back({DemoRead::Kind::kKeys, 0});
  last = {true, 1, static_cast<uint32_t>(longer.reads.size()), last.read_count + 1};
  longer.reads.insert(longer.reads.end(), reads.begin(), reads.end());
  longer.passes.push_back(last);
  const std::pair<const Demo*, std::string> rows[] = {
      {&shorter, "pass " + std::to_string(passes - 1) +
                     ": the recorded window was closed during a sound the game did not play"},
      {&longer, "pass " + std::to_string(passes) +
                    ": the game did not read the keys where the demo holds it"}};
  for (const auto& [demo, message] : rows) {
    const TimedReplay timed = RunTimedReplay(*demo);
    EXPECT_EQ(timed.end.kind, ReplayEnd::Kind::kOutOfStep) << message;
    EXPECT_EQ(timed.end.message, message);
  }
}

TEST_F(DemoReplayTest, WhileTheViewerPausesTheReplayWaits) {
  const Demo demo = Parsed(Recorded().sink.bytes);
  DigestingPlatform viewer;
  viewer.on_messages = [&viewer](int64_t pass) { viewer.foreground = pass < 40 || pass >= 90; };
  const Replay replay = PlayDemo(viewer, demo);
  EXPECT_EQ(replay.end.kind, ReplayEnd::Kind::kFinished) << replay.end.message;
  EXPECT_EQ(viewer.passes, Recorded().passes + 50);
  EXPECT_EQ(viewer.digest.Value(), Recorded().digest);
}

TEST_F(DemoReplayTest, ADemoCutOffPlaysToItsLastWholeChunkAndSaysWhereItEnds) {
  // Cut in the middle of the third chunk: two chunks of passes are left.
  const std::vector<size_t>& ends = Recorded().sink.piece_ends;
  ASSERT_GE(ends.size(), 5u);
  const std::vector<uint8_t> cut(Recorded().sink.bytes.begin(),
                                 Recorded().sink.bytes.begin() + (ends[2] + ends[3]) / 2);
  const Demo demo = Parsed(cut);
  EXPECT_EQ(demo.end, DemoEnd::kNone);
  ASSERT_EQ(demo.pass_count, 2 * kDemoPassesPerChunk);

  const TimedReplay timed = RunTimedReplay(demo);
  EXPECT_EQ(timed.end.kind, ReplayEnd::Kind::kEndedEarly);
  EXPECT_EQ(timed.end.message, "pass 120: the demo ends early, after this pass");
  EXPECT_EQ(timed.passes, 120);

  // Cut anywhere after its header, the file is still a demo that ends early,
  // never longer than the file before it.
  int64_t passes_before = 0;
  const size_t header_size = ends[0];
  for (size_t size = header_size; size < Recorded().sink.bytes.size(); ++size) {
    const ParsedDemo parsed = ParseDemo(
        std::vector<uint8_t>(Recorded().sink.bytes.begin(), Recorded().sink.bytes.begin() + size));
    ASSERT_EQ(parsed.error, "") << "cut at " << size;
    ASSERT_EQ(parsed.demo.end, DemoEnd::kNone) << "cut at " << size;
    ASSERT_GE(parsed.demo.pass_count, passes_before) << "cut at " << size;
    passes_before = parsed.demo.pass_count;
  }
}

TEST_F(DemoReplayTest, AReadingTheDemoDoesNotHoldStopsTheReplayOutOfStep) {
  // The title reads the keys in every pass; the demo's fourth pass holds a
  // clock reading instead.
  Demo demo;
  demo.reads = {{DemoRead::Kind::kKeys, 0}, {DemoRead::Kind::kClock, 5000}};
  demo.passes = {{true, 3, 0, 1}, {true, 1, 1, 1}, {false, 10, 2, 0}};
  demo.pass_count = 14;
  demo.end = DemoEnd::kClosed;
  const TimedReplay timed = RunTimedReplay(demo);
  EXPECT_EQ(timed.end.kind, ReplayEnd::Kind::kOutOfStep);
  EXPECT_EQ(timed.end.message,
            "pass 4: the game read the keys where the demo holds a reading of the clock");
  EXPECT_EQ(timed.frames, 3);

  // And a pass that holds a second reading of the keys, which the title
  // does not make.
  demo.reads = {{DemoRead::Kind::kKeys, 0}, {DemoRead::Kind::kKeys, 0}};
  demo.passes = {{true, 3, 0, 1}, {true, 1, 0, 2}, {false, 10, 2, 0}};
  const TimedReplay unread = RunTimedReplay(demo);
  EXPECT_EQ(unread.end.kind, ReplayEnd::Kind::kOutOfStep);
  EXPECT_EQ(unread.end.message, "pass 4: the game did not read the keys where the demo holds it");
  // And one that holds no reading at all.
  demo.passes = {{true, 3, 0, 1}, {true, 1, 1, 0}, {false, 10, 2, 0}};
  EXPECT_EQ(RunTimedReplay(demo).end.message,
            "pass 4: the game read the keys where the demo holds no reading");
}

TEST_F(DemoReplayTest, QuitGameIsReplayedByTheGameItself) {
  ScriptedPlatform keyboard;
  keyboard.on_messages = [&keyboard](int64_t pass) {
    keyboard.held_keys.clear();
    if (pass == 2 || pass == 4)
      keyboard.Hold({kVkDown});
    if (pass == 6)
      keyboard.Hold({kVkSpace});  // "QUIT GAME"
    keyboard.close_requested = pass >= 100;
  };
  BytesSink sink;
  ASSERT_EQ(RecordGame(keyboard, sink), 0);
  ASSERT_LT(keyboard.passes, 100);
  const Demo demo = Parsed(sink.bytes);
  EXPECT_EQ(demo.end, DemoEnd::kGameEnded);
  const TimedReplay timed = RunTimedReplay(demo);
  EXPECT_EQ(timed.end.message, "pass 7: the game ended by itself");
}

TEST_F(DemoReplayTest, TenMinutesInTheBackgroundAreRecordedASecondAChunk) {
  // Behind another window from pass 10 on, for ten minutes of passes: a
  // chunk every 60 passes still, so that no chunk holds more than a reader
  // takes.
  ScriptedPlatform platform;
  platform.on_messages = [&platform](int64_t pass) {
    platform.foreground = pass < 10;
    platform.close_requested = pass >= 36010;
  };
  BytesSink sink;
  ASSERT_EQ(RecordGame(platform, sink), 0);
  EXPECT_EQ(Parsed(sink.bytes).pass_count, 36010);
  EXPECT_EQ(sink.piece_ends.size(), 1u + 601u) << "the header and a chunk per 60 passes";
}

// The scripted game's passes, score and frames, pinned: the same on every
// machine and in the browser. When a change to the pictures or the play is
// meant, take the new line from this test's failure message.
TEST_F(DemoReplayTest, TheScriptedGameShowsItsPinnedFrames) {
  const TimedReplay timed = RunTimedReplay(Parsed(Recorded().sink.bytes));
  EXPECT_EQ(TimedReplayLine(timed, 0.25),
            "506 passes, score 200, high score 30000, 0.250 s, digest 6AC099AFE64DD897");
}

}  // namespace
}  // namespace rallix::testing
