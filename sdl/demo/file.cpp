#include "sdl/demo/file.h"

#include <utility>

#include "base/printable_text.h"

namespace rallix {

DemoFileSink::DemoFileSink(std::string path)
    : path_(std::move(path)), part_path_(path_ + ".part") {}

DemoFileSink::~DemoFileSink() {
  if (finished_ || !open_)
    return;
  std::string ignored;
  ClosePart(ignored);
  RemovePart();
}

bool DemoFileSink::Open() {
  std::string reason;
  if (!CreatePart(reason)) {
    Fail(reason);
    return false;
  }
  return true;
}

void DemoFileSink::Append(const std::vector<uint8_t>& piece) {
  std::string reason;
  if (error_.empty() && open_ && !WritePart(piece, reason))
    Fail(reason + "; what was recorded until then is in " + PrintableText(part_path_));
}

void DemoFileSink::Finish() {
  if (finished_ || !open_)
    return;
  finished_ = true;
  std::string reason;
  if (!ClosePart(reason)) {
    Fail(reason);
    return;
  }
  if (error_.empty() && !ReplaceWithPart(reason))
    Fail(reason + "; the recording is in " + PrintableText(part_path_));
}

void DemoFileSink::Fail(const std::string& reason) {
  if (error_.empty())
    error_ = "cannot write the demo " + PrintableText(path_) + ": " + reason;
}

}  // namespace rallix
