#include "libretro/save_state.h"

#include <cstring>
#include <vector>

#include "demo/crc32.h"
#include "display/glyph_origin.h"
#include "display/glyph_sheet.h"
#include "generated/version.h"

namespace rallix::libretro {
namespace {

constexpr char kMagic[4] = {'R', 'L', 'X', 'S'};
constexpr uint16_t kFormatVersion = 1;
constexpr size_t kSpriteBytes = 5;
constexpr size_t kPictureBytes = static_cast<size_t>(kScreenWidth) * kScreenHeight / 8;
constexpr size_t kCells = static_cast<size_t>(kGridColumns) * kGridRows;

constexpr uint8_t kEnded = 1;
constexpr uint8_t kPaused = 2;
constexpr uint8_t kHolding = 4;
constexpr uint8_t kHasWaiting = 8;
constexpr uint8_t kTrapArmed = 1;
constexpr uint8_t kTrapSpent = 2;

// Appends numbers little-endian; counts what it would write past the end
// (a null buffer only measures).
class Writer {
 public:
  Writer(uint8_t* out, size_t size) : out_(out), size_(size) {}
  void Bytes(const void* bytes, size_t count) {
    if (out_ != nullptr && at_ + count <= size_)
      std::memcpy(out_ + at_, bytes, count);
    at_ += count;
  }
  void U(uint64_t value, size_t count) {
    uint8_t bytes[8];
    for (size_t i = 0; i < count; ++i)
      bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    Bytes(bytes, count);
  }
  size_t At() const { return at_; }

 private:
  uint8_t* out_;
  size_t size_;
  size_t at_ = 0;
};

// Reads what a Writer wrote; the caller has checked the size first.
class Reader {
 public:
  explicit Reader(const uint8_t* in) : in_(in) {}
  uint64_t U(size_t count) {
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i)
      value |= uint64_t{in_[at_ + i]} << (8 * i);
    at_ += count;
    return value;
  }
  int16_t S16() { return static_cast<int16_t>(U(2)); }
  int32_t S32() { return static_cast<int32_t>(U(4)); }
  double F64() {
    const uint64_t bits = U(8);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  const uint8_t* Take(size_t count) {
    const uint8_t* bytes = in_ + at_;
    at_ += count;
    return bytes;
  }

 private:
  const uint8_t* in_;
  size_t at_ = 0;
};

uint64_t Bits(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

void WriteGrid(Writer& w, const TextGrid& grid) {
  for (int column = 0; column < kGridColumns; ++column) {
    for (int row = 0; row < kGridRows; ++row)
      w.U(static_cast<uint8_t>(grid.At(column, row)), 1);
  }
}

TextGrid ReadGrid(Reader& r) {
  TextGrid grid;
  for (int column = 0; column < kGridColumns; ++column) {
    for (int row = 0; row < kGridRows; ++row)
      grid.Put(column, row, static_cast<char>(r.U(1)));
  }
  return grid;
}

// A queue's count, then its entries in the room for `most`, the rest zero.
bool WriteQueue(Writer& w, const std::vector<SpriteEntry>& queue, int16_t count, size_t most) {
  if (count < 0 || static_cast<size_t>(count) != queue.size() || queue.size() > most)
    return false;
  w.U(static_cast<uint16_t>(count), 2);
  for (size_t i = 0; i < most; ++i) {
    const SpriteEntry entry = i < queue.size() ? queue[i] : SpriteEntry{};
    w.U(static_cast<uint16_t>(entry.X), 2);
    w.U(static_cast<uint16_t>(entry.Y), 2);
    w.U(static_cast<uint8_t>(entry.Glyph), 1);
  }
  return true;
}

bool ReadQueue(Reader& r, std::vector<SpriteEntry>& queue, int16_t& count, size_t most) {
  count = r.S16();
  queue.clear();
  for (size_t i = 0; i < most; ++i) {
    SpriteEntry entry;
    entry.X = r.S16();
    entry.Y = r.S16();
    entry.Glyph = static_cast<char>(r.U(1));
    if (i < static_cast<size_t>(count))
      queue.push_back(entry);
  }
  return count >= 0 && static_cast<size_t>(count) <= most;
}

void WritePicture(Writer& w, const Surface& picture) {
  for (int y = 0; y < kScreenHeight; ++y) {
    const uint8_t* row = picture.Row(y);
    for (int x = 0; x < kScreenWidth; x += 8) {
      uint8_t byte = 0;
      for (int bit = 0; bit < 8; ++bit)
        byte |= static_cast<uint8_t>((row[x + bit] != kBlack ? 1u : 0u) << bit);
      w.U(byte, 1);
    }
  }
}

void ReadPicture(Reader& r, Surface& picture) {
  const uint8_t* bytes = r.Take(kPictureBytes);
  for (int y = 0; y < kScreenHeight; ++y) {
    uint8_t* row = picture.Row(y);
    for (int x = 0; x < kScreenWidth; x += 8) {
      const uint8_t byte = *bytes++;
      for (int bit = 0; bit < 8; ++bit)
        row[x + bit] = (byte >> bit & 1u) != 0 ? kWhite : kBlack;
    }
  }
}

// The body: everything between the header and the checksum. False when the
// game does not fit.
bool WriteBody(Writer& w, const SavedGame& g) {
  w.U(g.runs, 8);
  w.U((g.ended ? kEnded : 0) | (g.paused ? kPaused : 0) | (g.holding ? kHolding : 0) |
          (g.has_waiting ? kHasWaiting : 0),
      1);
  w.U(static_cast<uint8_t>(static_cast<int8_t>(g.sound)), 1);
  w.U(g.sound_position, 4);
  w.U(g.input.pad, 1);
  w.U(g.input.pressed, 1);
  w.U(g.input.pause_presses, 1);
  w.U(static_cast<uint64_t>(g.passes), 8);
  w.U((g.trap_armed ? kTrapArmed : 0) | (g.trap_spent ? kTrapSpent : 0), 1);

  const GameRecord& r = g.record;
  for (int32_t value : {r.HiScore, r.Score, r.PlayerPoints, r.ComPoints, r.State})
    w.U(static_cast<uint32_t>(value), 4);
  for (double value : {r.BallX, r.BallY, r.BallVX, r.BallVY})
    w.U(Bits(value), 8);
  for (int16_t value :
       {r.PlayerX, r.ComX, r.Stage, r.StateEntered, r.KeyLatchUp, r.KeyLatchDown, r.KeyLatchSpace,
        r.MenuCursor, r.SetCount, r.BallSpeed, r.Level, r.PlayerPaddleKind, r.ComPaddleKind}) {
    w.U(static_cast<uint16_t>(value), 2);
  }
  w.U(r.Random.State(), 4);
  w.U(static_cast<uint16_t>(r.Screen.CursorX), 2);
  w.U(static_cast<uint16_t>(r.Screen.CursorY), 2);
  WriteGrid(w, r.Screen.Grid);
  if (!WriteQueue(w, r.Screen.CellSprites, r.Screen.CellSpriteCount, kMostQueuedCells) ||
      !WriteQueue(w, r.Screen.PixelSprites, r.Screen.PixelSpriteCount, kMostQueuedSprites)) {
    return false;
  }
  WriteGrid(w, g.background);
  WritePicture(w, g.shown);
  WritePicture(w, g.waiting);
  return true;
}

// The header's fields but the size, which follows them.
void WriteHeader(Writer& w) {
  w.Bytes(kMagic, sizeof kMagic);
  w.U(kFormatVersion, 2);
  for (int part : {RALLIX_VERSION_MAJOR, RALLIX_VERSION_MINOR, RALLIX_VERSION_PATCH, 0})
    w.U(static_cast<uint8_t>(part), 1);
}

struct GlyphChoice {
  GlyphPoint origin;
  char glyph;
};

// Each cell of the sheet a glyph comes from, once, with a character that
// shows it: the blank cell first, as most of a screen is blank.
const std::vector<GlyphChoice>& GlyphChoices() {
  static const std::vector<GlyphChoice> choices = [] {
    std::vector<GlyphChoice> all{{kBlankGlyph, ' '}};
    for (int code = 0; code < 256; ++code) {
      const GlyphPoint origin = GlyphOriginOf(static_cast<char>(code));
      bool known = false;
      for (const GlyphChoice& choice : all)
        known = known || (choice.origin.x == origin.x && choice.origin.y == origin.y);
      if (!known)
        all.push_back({origin, static_cast<char>(code)});
    }
    return all;
  }();
  return choices;
}

bool ShowsGlyph(const Compositor& pictures, int x, int y, GlyphPoint origin) {
  for (int row = 0; row < kCellSize; ++row) {
    if (std::memcmp(pictures.PictureBackGround.Row(y + row) + x,
                    pictures.PictureSprite.Row(origin.y + row) + origin.x, kCellSize) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

size_t SaveStateSize() {
  Writer w(nullptr, 0);
  WriteHeader(w);
  w.U(0, 4);
  WriteBody(w, SavedGame{});
  w.U(0, 4);
  return w.At();
}

bool EncodeSaveState(const SavedGame& game, uint8_t* out, size_t size) {
  const size_t total = SaveStateSize();
  if (out == nullptr || size < total)
    return false;
  Writer w(out, size);
  WriteHeader(w);
  w.U(total, 4);
  if (!WriteBody(w, game))
    return false;
  w.U(Crc32(out, w.At()), 4);
  return w.At() == total;
}

std::optional<SavedGame> DecodeSaveState(const uint8_t* data, size_t size) {
  const size_t total = SaveStateSize();
  if (data == nullptr || size < total)
    return std::nullopt;
  uint8_t header[14];
  Writer expected(header, sizeof header);
  WriteHeader(expected);
  expected.U(total, 4);
  Reader crc(data + total - 4);
  if (std::memcmp(data, header, sizeof header) != 0 || crc.U(4) != Crc32(data, total - 4))
    return std::nullopt;

  Reader r(data + sizeof header);
  SavedGame g;
  g.runs = r.U(8);
  const auto flags = static_cast<uint8_t>(r.U(1));
  g.ended = (flags & kEnded) != 0;
  g.paused = (flags & kPaused) != 0;
  g.holding = (flags & kHolding) != 0;
  g.has_waiting = (flags & kHasWaiting) != 0;
  g.sound = static_cast<int8_t>(r.U(1));
  g.sound_position = static_cast<uint32_t>(r.U(4));
  g.input.pad = static_cast<uint8_t>(r.U(1));
  g.input.pressed = static_cast<uint8_t>(r.U(1));
  g.input.pause_presses = static_cast<uint8_t>(r.U(1));
  g.passes = static_cast<int64_t>(r.U(8));
  const auto trap = static_cast<uint8_t>(r.U(1));
  g.trap_armed = (trap & kTrapArmed) != 0;
  g.trap_spent = (trap & kTrapSpent) != 0;

  GameRecord& rec = g.record;
  for (int32_t* field : {&rec.HiScore, &rec.Score, &rec.PlayerPoints, &rec.ComPoints, &rec.State})
    *field = r.S32();
  for (double* field : {&rec.BallX, &rec.BallY, &rec.BallVX, &rec.BallVY})
    *field = r.F64();
  for (int16_t* field : {&rec.PlayerX, &rec.ComX, &rec.Stage, &rec.StateEntered, &rec.KeyLatchUp,
                         &rec.KeyLatchDown, &rec.KeyLatchSpace, &rec.MenuCursor, &rec.SetCount,
                         &rec.BallSpeed, &rec.Level, &rec.PlayerPaddleKind, &rec.ComPaddleKind}) {
    *field = r.S16();
  }
  rec.Random.SetState(static_cast<uint32_t>(r.U(4)));
  FillPaddleTables(rec);
  TextScreen& screen = rec.Screen;
  screen.CursorX = r.S16();
  screen.CursorY = r.S16();
  screen.Grid = ReadGrid(r);
  const bool queues_hold =
      ReadQueue(r, screen.CellSprites, screen.CellSpriteCount, kMostQueuedCells) &&
      ReadQueue(r, screen.PixelSprites, screen.PixelSpriteCount, kMostQueuedSprites);
  g.background = ReadGrid(r);
  ReadPicture(r, g.shown);
  ReadPicture(r, g.waiting);

  // What the game writes through without a check must lie on the grid.
  bool cells_on_grid = true;
  for (const SpriteEntry& cell : screen.CellSprites) {
    cells_on_grid =
        cells_on_grid && cell.X >= 0 && cell.X < kGridColumns && cell.Y >= 0 && cell.Y < kGridRows;
  }
  if (!queues_hold || !cells_on_grid || screen.CursorX < 0 || screen.CursorX >= kGridColumns ||
      screen.CursorY < 0 || screen.CursorY >= kGridRows || g.sound < -1 || g.passes < 0) {
    return std::nullopt;
  }
  return g;
}

std::optional<TextGrid> BackgroundGlyphs(const Compositor& pictures, const TextGrid& likely) {
  const std::vector<GlyphChoice>& choices = GlyphChoices();
  TextGrid glyphs;
  for (int column = 0; column < kGridColumns; ++column) {
    for (int row = 0; row < kGridRows; ++row) {
      const int x = column * kCellSize;
      const int y = row * kCellSize;
      // Most cells show what the grid holds; the rest mostly the blank.
      const char held = likely.At(column, row);
      if (ShowsGlyph(pictures, x, y, GlyphOriginOf(held))) {
        glyphs.Put(column, row, held);
        continue;
      }
      bool found = false;
      for (const GlyphChoice& choice : choices) {
        if (ShowsGlyph(pictures, x, y, choice.origin)) {
          glyphs.Put(column, row, choice.glyph);
          found = true;
          break;
        }
      }
      if (!found)
        return std::nullopt;
    }
  }
  return glyphs;
}

Compositor PicturesWithBackground(const TextGrid& background) {
  Compositor pictures(BuiltInGlyphSheet());
  pictures.RedrawBackground(background);
  return pictures;
}

}  // namespace rallix::libretro
