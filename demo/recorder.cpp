#include "demo/recorder.h"

#include "base/run_time_error.h"
#include "demo/format.h"
#include "game/mod_main.h"
#include "generated/version.h"

namespace rallix {

std::vector<uint8_t> RecordedDemoHeader() {
  return DemoHeader(RALLIX_VERSION);
}

DemoRecorder::DemoRecorder(Platform& inner, DemoSink& sink)
    : ForwardingPlatform(inner), sink_(sink) {
  const std::vector<uint8_t> header = RecordedDemoHeader();
  bytes_written_ = header.size();
  if (!sink_.HasHeader())
    sink_.Append(header);
}

bool DemoRecorder::ProcessMessages() {
  const bool going_on = Inner().ProcessMessages();
  if (!going_on)
    EndWith(DemoEnd::kClosed);
  return going_on;
}

bool DemoRecorder::IsForeground() {
  const bool in_front = Inner().IsForeground();
  EndPass();
  if (encoder_.PendingPasses() >= kDemoPassesPerChunk)
    WriteChunk();
  pass_open_ = true;
  in_front_ = in_front;
  return in_front;
}

void DemoRecorder::GetKeyboardState(KeySnapshot& keys) {
  Inner().GetKeyboardState(keys);
  reads_.push_back({DemoRead::Kind::kKeys, DemoKeysOf(keys)});
}

int32_t DemoRecorder::PlayClock() {
  const int32_t reading = Inner().PlayClock();
  reads_.push_back({DemoRead::Kind::kClock, reading});
  return reading;
}

void DemoRecorder::PlaySoundSync(const std::string& file_name) {
  try {
    Inner().PlaySoundSync(file_name);
  } catch (const ProgramEnd&) {
    EndWith(DemoEnd::kClosedInSound);
    throw;
  }
}

void DemoRecorder::Finish() {
  EndWith(DemoEnd::kGameEnded);
}

void DemoRecorder::EndPass() {
  if (pass_open_)
    encoder_.AddPass(in_front_, reads_);
  pass_open_ = false;
  reads_.clear();
}

void DemoRecorder::WriteChunk() {
  const std::vector<uint8_t> chunk = encoder_.TakeChunk();
  if (full_ || chunk.empty())
    return;
  if (chunk.size() - 12 > kMostDemoChunkBytes || bytes_written_ + chunk.size() > kMostDemoBytes) {
    full_ = true;  // the demo stops here, and a player says it ends early
    return;
  }
  bytes_written_ += chunk.size();
  sink_.Append(chunk);
}

void DemoRecorder::EndWith(DemoEnd end) {
  if (finished_)
    return;
  finished_ = true;
  EndPass();
  encoder_.AddEnd(end);
  WriteChunk();
  sink_.Finish();
}

int RecordGame(Platform& platform, DemoSink& sink) {
  DemoRecorder recorder(platform, sink);
  const int status = Main(recorder);
  recorder.Finish();
  return status;
}

}  // namespace rallix
