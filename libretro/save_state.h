// The core's save state: the whole game in a fixed number of bytes, so that a
// frontend can save and load it, rewind through it and run ahead with it.
//
// The bytes, all numbers little-endian:
//   "RLXS", the format's version (u16), the game's version (three u8 and a
//   zero byte), the state's size (u32);
//   the core: its runs (u64), flags (ended, paused, held by a sound, a frame
//   waiting for the sound's end), the playing sound (i8, -1 none) and the
//   frames of it heard (u32), the pad's buttons, the presses not yet seen
//   and the pause presses not yet taken (u8 each);
//   the loop: its passes (i64) and its trap (armed, spent);
//   the record: every field but the two paddle tables, which are constants
//   (FillPaddleTables), the doubles as their IEEE bits and the random
//   source's state; the text screen's cursor, its grid (1200 bytes, by
//   column) and both queues (a count, then room for kMostQueuedCells cells
//   and kMostQueuedSprites sprites of five bytes each);
//   the background picture as the character whose glyph each cell shows
//   (1200 bytes: the picture is only ever made of whole glyphs, so it is
//   rendered again exactly from them);
//   the frame on screen and the frame waiting for a sound's end, one bit a
//   pixel (38400 bytes each, rows from the top, the first pixel in the
//   lowest bit);
//   and a CRC-32 of everything before it.
// A state of another format or game version, of another size, or whose
// checksum or values do not hold, is refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "display/compositor.h"
#include "display/surface.h"
#include "display/text_screen.h"
#include "game/game_record.h"
#include "libretro/pad_input.h"

namespace rallix::libretro {

// Queued entries a state holds room for. At the end of a pass the queues are
// empty unless a run-time error left a frame unfinished; a state cannot be
// taken while they hold more.
constexpr size_t kMostQueuedCells = 128;
constexpr size_t kMostQueuedSprites = 16;

struct SavedGame {
  uint64_t runs = 0;
  bool ended = false;
  bool paused = false;
  bool holding = false;
  bool has_waiting = false;
  int sound = -1;
  uint32_t sound_position = 0;
  PadInput::Saved input;
  int64_t passes = 0;
  bool trap_armed = false;
  bool trap_spent = false;
  GameRecord record;
  TextGrid background;  // a character for the glyph each background cell shows
  Surface shown;
  Surface waiting;
};

size_t SaveStateSize();
// False when the game does not fit (queues past the room above).
bool EncodeSaveState(const SavedGame& game, uint8_t* out, size_t size);
// Nothing when the bytes are not a whole, undamaged state of this format and
// version with values the game can take.
std::optional<SavedGame> DecodeSaveState(const uint8_t* data, size_t size);

// The background picture as the grid of characters whose glyphs it shows,
// and the way back; `likely` (the grid) is tried first for each cell.
// Nothing when a cell of the picture is no glyph of the
// sheet.
std::optional<TextGrid> BackgroundGlyphs(const Compositor& pictures, const TextGrid& likely);
// A new set of pictures whose background shows those glyphs; the next frame
// is composed whole.
Compositor PicturesWithBackground(const TextGrid& background);

}  // namespace rallix::libretro
