#include "web/page_runs.h"

#include <utility>

#include "demo/parser.h"
#include "demo/player.h"
#include "demo/recorder.h"
#include "game/forwarding_platform.h"
#include "game/mod_main.h"

namespace rallix::web {
namespace {

// A recording goes to the page piece by piece; the page offers it whole.
class PageDemoSink : public DemoSink {
 public:
  explicit PageDemoSink(Page& page) : page_(page) {}
  void Append(const std::vector<uint8_t>& bytes) override { page_.AddDemoPiece(bytes); }
  void Finish() override { page_.OfferDemo(); }

 private:
  Page& page_;
};

// What the page says once a demo has been played back.
std::string EndOfDemo(const Replay& replay) {
  const std::string pass = std::to_string(replay.end.pass);
  switch (replay.end.kind) {
    case ReplayEnd::Kind::kEndedEarly:
      return "The demo ended early at pass " + pass + ".";
    case ReplayEnd::Kind::kOutOfStep:
      return "The demo went out of step with the game at pass " + pass + " and stopped.";
    case ReplayEnd::Kind::kStopped:
      return "The demo was stopped at pass " + pass + ".";
    default:
      return replay.status == 0 ? "The demo has ended."
                                : "The demo has ended, as its game did, on an error.";
  }
}

}  // namespace

// The web platform, whose message pump also ends the run when the player
// asks for another. It lies under a recorder or a demo's player, which see
// the end as the window's close.
class PageRuns::RequestWatch : public ForwardingPlatform {
 public:
  RequestWatch(Platform& inner, PageRuns& runs) : ForwardingPlatform(inner), runs_(runs) {}
  bool ProcessMessages() override { return Inner().ProcessMessages() && !runs_.EndsRun(); }

 private:
  PageRuns& runs_;
};

bool PageRuns::RunNext(const Listen& listen) {
  current_ = next_asked_ ? next_ : RunKind::kGame;
  next_asked_ = false;
  stopped_ = false;
  WebPlatform platform(page_);
  RequestWatch watch(platform, *this);
  listen(&platform);
  page_.BeginRun(current_);
  int status = 0;
  std::string ending = "The game has ended.";
  switch (current_) {
    case RunKind::kGame:
      status = Main(watch);
      break;
    case RunKind::kRecording: {
      page_.ShowLine("Recording from the title on. Stop and save ends it.");
      PageDemoSink sink(page_);
      status = RecordGame(watch, sink);
      ending = stopped_ ? "The recording has stopped: Save demo keeps it."
                        : "The game has ended: Save demo keeps its recording.";
      break;
    }
    case RunKind::kDemo: {
      const Demo demo = std::move(demo_);
      page_.ShowLine("Playing the demo " + demo_name_ + ". P pauses it.");
      const Replay replay = PlayDemo(watch, demo);
      // A demo's game that stopped on an error stops only the demo.
      status = 0;
      ending = EndOfDemo(replay);
      break;
    }
  }
  listen(nullptr);
  if (status != 0)
    return false;
  if (next_asked_)
    return true;
  page_.ShowLine(ending);
  page_.WaitForPlayAgain();
  page_.ShowLine("");
  return true;
}

bool PageRuns::EndsRun() {
  PageRequest request = page_.TakeRequest();
  const bool recording = current_ == RunKind::kRecording;
  switch (request.kind) {
    case PageRequest::Kind::kNone:
      return false;
    case PageRequest::Kind::kStopRecording:
      stopped_ = recording;
      return recording;
    case PageRequest::Kind::kRecord:
      if (recording)
        return false;
      next_ = RunKind::kRecording;
      next_asked_ = true;
      return true;
    case PageRequest::Kind::kPlayDemo: {
      if (recording)
        return false;
      const std::string& name = request.file_name;
      ParsedDemo parsed;
      if (request.unreadable)
        parsed.error = "the file could not be read";
      else
        parsed = ParseDemo(request.bytes);
      if (!parsed.error.empty()) {
        page_.ShowLine(name + " cannot be played: " + parsed.error + ".");
        return false;
      }
      demo_ = std::move(parsed.demo);
      demo_name_ = name;
      next_ = RunKind::kDemo;
      next_asked_ = true;
      return true;
    }
  }
  return false;
}

}  // namespace rallix::web
