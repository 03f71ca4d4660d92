#include "demo/state_format.h"

#include <algorithm>

#include "demo/crc32.h"
#include "generated/version.h"

namespace rallix {
namespace {

constexpr uint16_t kFormatVersion = 2;
constexpr size_t kHeaderBytes = 18;
constexpr size_t kLengthAt = 14;
constexpr size_t kChecksumBytes = 4;
constexpr size_t kMostFieldBytes = kStateBytes - kHeaderBytes - kChecksumBytes;

// The header but the fields' length: what every state of this format and
// version begins with.
constexpr uint8_t kHeader[kLengthAt] = {
    'R',
    'L',
    'X',
    'S',
    kFormatVersion & 0xFF,
    kFormatVersion >> 8,
    RALLIX_VERSION_MAJOR,
    RALLIX_VERSION_MINOR,
    RALLIX_VERSION_PATCH,
    0,
    kStateBytes & 0xFF,
    (kStateBytes >> 8) & 0xFF,
    (kStateBytes >> 16) & 0xFF,
    kStateBytes >> 24,
};

// The characters the game prints, and the empty cell.
bool Printed(char glyph) {
  return glyph == '\0' || (glyph >= ' ' && glyph <= '~');
}

uint64_t Word(const char* bytes) {
  uint64_t word = 0;
  std::memcpy(&word, bytes, sizeof word);
  return word;
}

bool AllPrinted(const char* glyphs, size_t count) {
  // Eight characters at a time, each byte of a word on its own: its top bit
  // says whether it is past 0x7F, not 0, below ' ', or 0x7F.
  constexpr uint64_t kTops = 0x8080808080808080u;
  constexpr uint64_t kLows = 0x7F7F7F7F7F7F7F7Fu;
  uint64_t others = 0;
  size_t at = 0;
  for (; at + 8 <= count; at += 8) {
    const uint64_t word = Word(glyphs + at);
    const uint64_t low = word & kLows;
    const uint64_t not_empty = (low + kLows) | word;
    const uint64_t below_space = ~(low + 0x6060606060606060u);
    const uint64_t delete_char = ~((low ^ kLows) + kLows);
    others |= (word | (not_empty & (below_space | delete_char))) & kTops;
  }
  for (; at < count; ++at)
    others |= Printed(glyphs[at]) ? 0 : 1;
  return others == 0;
}

uint32_t LittleEndianU32(const uint8_t* bytes) {
  return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
         uint32_t{bytes[3]} << 24;
}

// The first cell at or after `at` where the grids differ, or kCells.
size_t NextDifference(const char* a, const char* b, size_t at) {
  // Thirty-two cells at a time over the long stretches that are alike.
  while (at + 32 <= TextGrid::kCells &&
         ((Word(a + at) ^ Word(b + at)) | (Word(a + at + 8) ^ Word(b + at + 8)) |
          (Word(a + at + 16) ^ Word(b + at + 16)) | (Word(a + at + 24) ^ Word(b + at + 24))) == 0) {
    at += 32;
  }
  while (at + 8 <= TextGrid::kCells && Word(a + at) == Word(b + at))
    at += 8;
  while (at < TextGrid::kCells && a[at] == b[at])
    ++at;
  return at;
}

// A queued entry: its X and Y, then its glyph.
constexpr size_t kEntryBytes = 5;

constexpr uint8_t kZeros[kStateBytes] = {};

// A run of differing cells goes on over a stretch of like ones shorter than
// a new run's first cell and length.
constexpr size_t kRunBytes = 4;

}  // namespace

StateWriter::StateWriter(uint8_t* out) : out_(out), at_(kHeaderBytes) {
  std::memcpy(out_, kHeader, sizeof kHeader);
}

const size_t StateWriter::kEnd = kHeaderBytes + kMostFieldBytes;

void StateWriter::PutBytes(const char* bytes, size_t count) {
  if (count > kEnd - at_) {
    fits_ = false;
    return;
  }
  std::memcpy(out_ + at_, bytes, count);
  at_ += count;
}

void StateWriter::Grid(const char* /*name*/, const TextGrid& grid, const TextGrid& like) {
  const char* cells = grid.Cells();
  const char* alike = like.Cells();
  const size_t count_at = at_;
  Put(0, 2);
  uint16_t runs = 0;
  // Most grids are their like's very cells.
  size_t at = grid == like ? TextGrid::kCells : NextDifference(cells, alike, 0);
  while (at < TextGrid::kCells) {
    const size_t first = at;
    size_t end = at + 1;  // past the last differing cell of the run
    for (size_t next = end; next != TextGrid::kCells && next - end <= kRunBytes; ++next) {
      if (cells[next] != alike[next])
        end = next + 1;
    }
    Put(first, 2);
    Put(end - first, 2);
    PutBytes(cells + first, end - first);
    ++runs;
    at = NextDifference(cells, alike, end);
  }
  if (fits_) {
    out_[count_at] = static_cast<uint8_t>(runs);
    out_[count_at + 1] = static_cast<uint8_t>(runs >> 8);
  }
}

void StateWriter::Queue(const char* /*name*/, const std::vector<SpriteEntry>& entries,
                        size_t /*most*/, SpriteArea /*area*/) {
  Put(entries.size(), 1);
  for (const SpriteEntry& entry : entries) {
    Put(static_cast<uint16_t>(entry.X), 2);
    Put(static_cast<uint16_t>(entry.Y), 2);
    Put(static_cast<uint8_t>(entry.Glyph), 1);
  }
}

bool StateWriter::Finish() {
  if (!fits_)
    return false;
  const size_t length = at_ - kHeaderBytes;
  for (size_t i = 0; i < 4; ++i)
    out_[kLengthAt + i] = static_cast<uint8_t>(length >> (8 * i));
  const uint32_t crc = Crc32(out_, at_);
  for (size_t i = 0; i < 4; ++i)
    out_[at_ + i] = static_cast<uint8_t>(crc >> (8 * i));
  // The zeros after it: a frontend that saves a state every frame hands
  // the same bytes over again, where they mostly are already.
  uint8_t* rest = out_ + at_ + kChecksumBytes;
  const size_t zeros = kStateBytes - at_ - kChecksumBytes;
  if (std::memcmp(rest, kZeros, zeros) != 0)
    std::memset(rest, 0, zeros);
  return true;
}

StateReader::StateReader(const uint8_t* data, size_t size) {
  if (data == nullptr || size < kStateBytes) {
    refusal_ = "it is not a whole state";
    return;
  }
  if (std::memcmp(data, kHeader, 4) != 0) {
    refusal_ = "it is no state of Rallix";
    return;
  }
  if (std::memcmp(data, kHeader, sizeof kHeader) != 0) {
    refusal_ = "it is a state of another version of Rallix";
    return;
  }
  const uint32_t length = LittleEndianU32(data + kLengthAt);
  const size_t end = kHeaderBytes + length;
  const size_t checked = end + kChecksumBytes;
  if (length > kMostFieldBytes || LittleEndianU32(data + end) != Crc32(data, end) ||
      std::memcmp(data + checked, kZeros, kStateBytes - checked) != 0) {
    refusal_ = "it is damaged";
    return;
  }
  in_ = data;
  at_ = kHeaderBytes;
  end_ = end;
}

void StateReader::EndTooSoon() {
  if (refusal_.empty())
    refusal_ = "its fields end too soon";
  in_ = nullptr;
}

void StateReader::Refuse(const char* name) {
  if (refusal_.empty())
    refusal_ = std::string(name) + " holds what the game cannot";
}

void StateReader::Real(const char* name, double& field, double least, double most) {
  const uint64_t bits = Take(8);
  std::memcpy(&field, &bits, sizeof field);
  if (!(field >= least && field <= most))  // NaN is neither
    Refuse(name);
}

void StateReader::Random(const char* name, RandomSource& source) {
  const uint64_t state = Take(4);
  source.SetState(static_cast<uint32_t>(state));
  if (state != source.State())
    Refuse(name);
}

void StateReader::Grid(const char* name, TextGrid& grid, const TextGrid& like) {
  grid = like;
  char* cells = grid.Cells();
  const uint64_t runs = Take(2);
  size_t past = 0;  // past the last run
  for (uint64_t run = 0; run < runs && in_ != nullptr; ++run) {
    const uint64_t first = Take(2);
    const uint64_t length = Take(2);
    if (first < past || first >= TextGrid::kCells || length == 0 ||
        length > TextGrid::kCells - first) {
      Refuse(name);
      return;
    }
    const uint8_t* bytes = TakeBytes(length);
    if (bytes == nullptr)
      return;
    std::memcpy(cells + first, bytes, length);
    if (!AllPrinted(cells + first, length))
      Refuse(name);
    past = first + length;
  }
}

void StateReader::Queue(const char* name, std::vector<SpriteEntry>& entries, size_t most,
                        SpriteArea area) {
  const uint64_t count = Take(1);
  entries.clear();
  if (count > most) {
    Refuse(name);
    return;
  }
  const uint8_t* in = TakeBytes(count * kEntryBytes);
  if (in == nullptr)
    return;
  entries.resize(count);
  bool inside = true;
  for (SpriteEntry& entry : entries) {
    int16_t places[2];
    for (int16_t& place : places) {
      place = static_cast<int16_t>(static_cast<uint16_t>(in[0] | in[1] << 8));
      in += 2;
    }
    entry = {places[0], places[1], static_cast<char>(*in++)};
    inside = inside && entry.X >= area.least_x && entry.X <= area.most_x &&
             entry.Y >= area.least_y && entry.Y <= area.most_y && Printed(entry.Glyph);
  }
  if (!inside)
    Refuse(name);
}

std::string StateReader::Finish() {
  if (refusal_.empty() && at_ != end_)
    refusal_ = "its fields do not end where it says";
  return refusal_;
}

}  // namespace rallix
