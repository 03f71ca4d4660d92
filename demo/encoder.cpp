#include "demo/encoder.h"

#include <limits>

#include "demo/crc32.h"
#include "demo/format.h"

namespace rallix {
namespace {

void PutCode(std::vector<uint8_t>& out, DemoCode code) {
  out.push_back(static_cast<uint8_t>(code));
}

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i)
    out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Seven bits a byte, the lowest first, the top bit set on all but the last.
void PutCount(std::vector<uint8_t>& out, uint32_t count) {
  while (count >= 0x80) {
    out.push_back(static_cast<uint8_t>(count | 0x80));
    count >>= 7;
  }
  out.push_back(static_cast<uint8_t>(count));
}

}  // namespace

std::vector<uint8_t> DemoHeader(std::string_view game_version) {
  std::vector<uint8_t> header(std::begin(kDemoMagic), std::end(kDemoMagic));
  PutLittleEndian(header, kDemoFormatVersion, 2);
  const std::string_view version = game_version.substr(0, kMostGameVersionBytes);
  header.push_back(static_cast<uint8_t>(version.size()));
  for (const char ch : version)
    header.push_back(ch >= 0x20 && ch <= 0x7E ? static_cast<uint8_t>(ch) : '?');
  PutLittleEndian(header, Crc32(header.data(), header.size()), 4);
  return header;
}

void DemoEncoder::AddPass(bool in_front, const std::vector<DemoRead>& reads) {
  ++pending_passes_;
  Run run = Run::kNone;
  uint8_t keys = 0;
  if (!in_front) {
    run = Run::kBackground;
  } else if (reads.size() == 1 && reads[0].kind == DemoRead::Kind::kKeys) {
    run = Run::kKeys;
    keys = static_cast<uint8_t>(reads[0].value);
  }
  if (run != Run::kNone && run == run_ && (run == Run::kBackground || keys == run_keys_) &&
      run_count_ < std::numeric_limits<uint32_t>::max()) {
    ++run_count_;
    return;
  }
  CloseRun();
  if (run != Run::kNone) {
    run_ = run;
    run_keys_ = keys;
    run_count_ = 1;
    return;
  }
  PutCode(payload_, DemoCode::kPass);
  for (const DemoRead& read : reads) {
    if (read.kind == DemoRead::Kind::kKeys) {
      PutCode(payload_, DemoCode::kKeys);
      payload_.push_back(static_cast<uint8_t>(read.value));
    } else {
      PutCode(payload_, DemoCode::kClock);
      PutLittleEndian(payload_, static_cast<uint32_t>(read.value), 4);
    }
  }
}

void DemoEncoder::AddEnd(DemoEnd end) {
  CloseRun();
  switch (end) {
    case DemoEnd::kClosed:
      PutCode(payload_, DemoCode::kEndClosed);
      break;
    case DemoEnd::kClosedInSound:
      PutCode(payload_, DemoCode::kEndClosedInSound);
      break;
    case DemoEnd::kGameEnded:
      PutCode(payload_, DemoCode::kEndGameEnded);
      break;
    case DemoEnd::kNone:
      break;
  }
}

void DemoEncoder::CloseRun() {
  if (run_ == Run::kBackground) {
    PutCode(payload_, DemoCode::kBackgroundPasses);
    PutCount(payload_, run_count_);
  } else if (run_ == Run::kKeys) {
    PutCode(payload_, DemoCode::kKeyPasses);
    payload_.push_back(run_keys_);
    PutCount(payload_, run_count_);
  }
  run_ = Run::kNone;
}

std::vector<uint8_t> DemoEncoder::TakeChunk() {
  CloseRun();
  std::vector<uint8_t> chunk;
  if (payload_.empty())
    return chunk;
  const auto length = static_cast<uint32_t>(payload_.size());
  PutLittleEndian(chunk, length, 4);
  PutLittleEndian(chunk, ~length, 4);
  chunk.insert(chunk.end(), payload_.begin(), payload_.end());
  PutLittleEndian(chunk, Crc32(payload_.data(), payload_.size()), 4);
  payload_.clear();
  pending_passes_ = 0;
  return chunk;
}

}  // namespace rallix
