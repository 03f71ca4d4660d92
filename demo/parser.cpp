#include "demo/parser.h"

#include <cstring>

#include "demo/crc32.h"
#include "demo/format.h"

namespace rallix {
namespace {

uint32_t LittleEndianAt(const uint8_t* bytes, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i)
    value = (value << 8) | bytes[i];
  return value;
}

std::string Damaged(size_t offset, const std::string& what) {
  return "the demo is damaged at byte " + std::to_string(offset) + ": " + what;
}

// The records of one chunk's payload, which starts at byte `base` of the file.
class ChunkReader {
 public:
  ChunkReader(const uint8_t* payload, size_t size, size_t base, Demo& demo)
      : bytes_(payload), size_(size), base_(base), demo_(demo) {}

  // Reads every record; false with `error` set at the first bad one.
  bool Read(bool& ended, std::string& error);

 private:
  bool Byte(uint8_t& value);
  bool Keys(uint8_t& keys);
  bool Count(uint32_t& count);
  bool AddPasses(bool in_front, uint32_t count);
  // A reading of the last passes added.
  void AddRead(DemoRead::Kind kind, int32_t value);
  bool Fail(const std::string& what);

  const uint8_t* bytes_;
  size_t size_;
  size_t base_;
  Demo& demo_;
  size_t at_ = 0;
  size_t record_ = 0;  // where the record being read starts
  bool pass_open_ = false;
  int64_t passes_ = 0;  // in this chunk
  std::string error_;
};

bool ChunkReader::Read(bool& ended, std::string& error) {
  while (at_ < size_ && error_.empty()) {
    record_ = at_;
    if (ended) {
      Fail("data after the demo's end");
      break;
    }
    const auto code = static_cast<DemoCode>(bytes_[at_++]);
    uint8_t keys = 0;
    uint32_t count = 0;
    switch (code) {
      case DemoCode::kBackgroundPasses:
        pass_open_ = false;
        if (Count(count))
          AddPasses(false, count);
        break;
      case DemoCode::kKeyPasses:
        pass_open_ = false;
        if (Keys(keys) && Count(count) && AddPasses(true, count))
          AddRead(DemoRead::Kind::kKeys, keys);
        break;
      case DemoCode::kPass:
        pass_open_ = AddPasses(true, 1);
        break;
      case DemoCode::kKeys:
        if (!pass_open_)
          Fail("a reading outside a pass");
        else if (Keys(keys))
          AddRead(DemoRead::Kind::kKeys, keys);
        break;
      case DemoCode::kClock:
        if (!pass_open_) {
          Fail("a reading outside a pass");
        } else if (size_ - at_ < 4) {
          Fail("a record runs past the end of its chunk");
        } else {
          AddRead(DemoRead::Kind::kClock, static_cast<int32_t>(LittleEndianAt(bytes_ + at_, 4)));
          at_ += 4;
        }
        break;
      case DemoCode::kEndClosed:
        demo_.end = DemoEnd::kClosed;
        ended = true;
        break;
      case DemoCode::kEndClosedInSound:
        demo_.end = DemoEnd::kClosedInSound;
        ended = true;
        break;
      case DemoCode::kEndGameEnded:
        demo_.end = DemoEnd::kGameEnded;
        ended = true;
        break;
      default:
        Fail("unknown record " + std::to_string(static_cast<int>(code)));
        break;
    }
  }
  error = error_;
  return error_.empty();
}

bool ChunkReader::Byte(uint8_t& value) {
  if (at_ >= size_)
    return Fail("a record runs past the end of its chunk");
  value = bytes_[at_++];
  return true;
}

bool ChunkReader::Keys(uint8_t& keys) {
  if (!Byte(keys))
    return false;
  return (keys & ~kDemoKeyBits) == 0 || Fail("keys with unknown bits");
}

bool ChunkReader::Count(uint32_t& count) {
  count = 0;
  for (int shift = 0; shift < 35; shift += 7) {
    uint8_t byte = 0;
    if (!Byte(byte))
      return false;
    if (shift == 28 && byte > 0x0F)
      break;  // beyond 32 bits
    count |= static_cast<uint32_t>(byte & 0x7F) << shift;
    if ((byte & 0x80) == 0)
      return count > 0 || Fail("a run of no passes");
  }
  return Fail("a pass count beyond 32 bits");
}

bool ChunkReader::AddPasses(bool in_front, uint32_t count) {
  passes_ += count;
  if (passes_ > kDemoPassesPerChunk)
    return Fail("a chunk holds more than " + std::to_string(kDemoPassesPerChunk) + " passes");
  demo_.pass_count += count;
  demo_.passes.push_back({in_front, count, static_cast<uint32_t>(demo_.reads.size()), 0});
  return true;
}

void ChunkReader::AddRead(DemoRead::Kind kind, int32_t value) {
  demo_.reads.push_back({kind, value});
  ++demo_.passes.back().read_count;
}

bool ChunkReader::Fail(const std::string& what) {
  if (error_.empty())
    error_ = Damaged(base_ + record_, what);
  return false;
}

}  // namespace

ParsedDemo ParseDemo(const std::vector<uint8_t>& bytes) {
  ParsedDemo parsed;
  const size_t size = bytes.size();
  const uint8_t* data = bytes.data();
  if (size > kMostDemoBytes) {
    // The caller may have read only the bytes that show it is too large.
    parsed.error =
        "the file is too large for a demo (more than " + std::to_string(kMostDemoBytes) + " bytes)";
    return parsed;
  }
  if (size < sizeof kDemoMagic || std::memcmp(data, kDemoMagic, sizeof kDemoMagic) != 0) {
    parsed.error = "the file is not a Rallix demo";
    return parsed;
  }
  // The header: magic, format version, the game's version and a checksum.
  if (size < 11) {
    parsed.error = "the demo's header is cut short";
    return parsed;
  }
  const uint32_t format = LittleEndianAt(data + 8, 2);
  if (format > kDemoFormatVersion) {
    parsed.error = "the demo was made by a newer Rallix (format " + std::to_string(format) +
                   "; this one plays format " + std::to_string(kDemoFormatVersion) + ")";
    return parsed;
  }
  const size_t version_size = data[10];
  const size_t header_size = 11 + version_size + 4;
  if (size < header_size) {
    parsed.error = "the demo's header is cut short";
    return parsed;
  }
  if (LittleEndianAt(data + header_size - 4, 4) != Crc32(data, header_size - 4) || format == 0 ||
      version_size > kMostGameVersionBytes) {
    parsed.error = "the demo's header is damaged";
    return parsed;
  }
  parsed.demo.game_version.assign(reinterpret_cast<const char*>(data + 11), version_size);

  // The chunks: length, its complement, the records and their checksum. A
  // chunk the file does not hold whole is where the recording was cut off.
  bool ended = false;
  size_t at = header_size;
  while (size - at >= 8) {
    const uint32_t length = LittleEndianAt(data + at, 4);
    if (LittleEndianAt(data + at + 4, 4) != ~length || length == 0 ||
        length > kMostDemoChunkBytes) {
      parsed.error = Damaged(at, "a chunk's length does not check");
      return parsed;
    }
    if (size - at - 8 < size_t{length} + 4)
      break;
    const uint8_t* payload = data + at + 8;
    if (LittleEndianAt(payload + length, 4) != Crc32(payload, length)) {
      parsed.error = Damaged(at, "a chunk does not match its checksum");
      return parsed;
    }
    if (ended) {
      parsed.error = Damaged(at, "data after the demo's end");
      return parsed;
    }
    ChunkReader reader(payload, length, at + 8, parsed.demo);
    if (!reader.Read(ended, parsed.error))
      return parsed;
    at += 8 + size_t{length} + 4;
  }
  if (ended && at != size)
    parsed.error = Damaged(at, "data after the demo's end");
  return parsed;
}

}  // namespace rallix
