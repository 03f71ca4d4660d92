#include "sdl/demo/file.h"

#include <utility>

#include "base/printable_text.h"

namespace rallix {
namespace {

constexpr char kPartEnding[] = ".part";
constexpr size_t kPartEndingBytes = sizeof kPartEnding - 1;
// The longest name of a file in a folder on the usual file systems (ext4,
// Btrfs, XFS, tmpfs: bytes; NTFS: UTF-16 units, never more than bytes).
constexpr size_t kMostNameBytes = 255;

bool ContinuesCharacter(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

}  // namespace

std::string DemoPartPath(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  const size_t name_bytes = path.size() - name_start;
  if (name_bytes + kPartEndingBytes <= kMostNameBytes)
    return path + kPartEnding;
  // The name's last characters make way for the ending, whole.
  size_t cut = path.size() - kPartEndingBytes;
  while (cut > name_start && ContinuesCharacter(path[cut]))
    --cut;
  return path.substr(0, cut) + kPartEnding;
}

DemoFileSink::DemoFileSink(std::string path, std::function<void(const std::string&)> say)
    : path_(std::move(path)), part_path_(DemoPartPath(path_)), say_(std::move(say)) {}

DemoFileSink::~DemoFileSink() {
  if (open_ && !finished_)
    RemovePart();
  ClosePart();
}

bool DemoFileSink::Open() {
  std::string reason;
  const std::vector<uint8_t> header = RecordedDemoHeader();
  if (!CreatePart(reason)) {
    Fail(reason);
    return false;
  }
  // The header reaches the file before the game starts, so a place that
  // cannot hold anything (a full disk) is refused now.
  if (!WritePart(header, reason)) {
    writing_ = false;
    Fail(reason);
    return false;  // the part file goes with the sink
  }
  written_ = header.size();
  return true;
}

void DemoFileSink::Append(const std::vector<uint8_t>& piece) {
  if (!open_ || !writing_)
    return;
  std::string reason;
  if (WritePart(piece, reason)) {
    written_ += piece.size();
    return;
  }
  writing_ = false;
  CutPart(written_);
  Fail(reason + "; the game goes on, and the demo keeps what was recorded until now");
}

void DemoFileSink::Finish() {
  if (finished_ || !open_)
    return;
  finished_ = true;
  std::string reason;
  if (!SyncPart(reason) || !ReplaceWithPart(reason))
    Fail(reason + "; the recording is in " + PrintableText(part_path_));
  ClosePart();
}

void DemoFileSink::Fail(const std::string& reason) {
  const std::string line = "cannot write the demo " + PrintableText(path_) + ": " + reason;
  if (error_.empty())
    error_ = line;
  if (say_)
    say_(line);
}

std::string DemoFileSink::Refusal(PartFileFound found) const {
  const std::string part = PrintableText(part_path_);
  switch (found) {
    case PartFileFound::kRecording:
      return "another Rallix is recording it now, into " + part;
    case PartFileFound::kUnfinished:
      return part + " is there already, the recording of a game that did not finish (it plays" +
             " up to where it stops): move or remove it to record here";
    case PartFileFound::kFolder:
      return part + " is in the way: it is a folder";
    case PartFileFound::kNotAFile:
      break;
  }
  return part + " is in the way: it is not a regular file";
}

}  // namespace rallix
