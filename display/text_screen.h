// The 40 x 30 character grid, its text cursor and the two per-frame sprite
// queues. Everything the game shows apart from the ball is printed here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rallix {

constexpr int kGridColumns = 40;
constexpr int kGridRows = 30;

// One queued glyph. In the cell queue X and Y are a column and a row; in the
// pixel queue they are the pixel position of the glyph's centre. Glyph is the
// one character to draw, or '\0' for the empty string.
struct SpriteEntry {
  int16_t X = 0;
  int16_t Y = 0;
  char Glyph = '\0';
  friend bool operator==(const SpriteEntry& a, const SpriteEntry& b) {
    return a.X == b.X && a.Y == b.Y && a.Glyph == b.Glyph;
  }
};

// Cells indexed by column, then row. A cell holds one character or nothing
// (never printed since the grid was created).
class TextGrid {
 public:
  TextGrid() { cells_.fill('\0'); }

  // The cell as a string: "" when empty, else its one character. Indices
  // outside the grid raise the subscript-out-of-range error.
  std::string Cell(int64_t column, int64_t row) const;
  char At(int column, int row) const { return cells_[Index(column, row)]; }
  void Put(int column, int row, char ch) { cells_[Index(column, row)] = ch; }
  bool IsEmpty(int column, int row) const { return At(column, row) == '\0'; }
  // The cells in their order, row after row.
  static constexpr size_t kCells = static_cast<size_t>(kGridColumns) * kGridRows;
  const char* Cells() const { return cells_.data(); }
  char* Cells() { return cells_.data(); }

  friend bool operator==(const TextGrid& a, const TextGrid& b) { return a.cells_ == b.cells_; }
  friend bool operator!=(const TextGrid& a, const TextGrid& b) { return !(a == b); }

 private:
  static size_t Index(int column, int row) {
    return static_cast<size_t>(row) * kGridColumns + static_cast<size_t>(column);
  }
  std::array<char, kCells> cells_;
};

// The display's part of the game record: the fields and the print operations
// that write them.
struct TextScreen {
  std::vector<SpriteEntry> CellSprites;
  int16_t CellSpriteCount = 0;
  std::vector<SpriteEntry> PixelSprites;
  int16_t PixelSpriteCount = 0;
  TextGrid Grid;
  int16_t CursorX = 0;
  int16_t CursorY = 0;

  // Moves the cursor; a coordinate outside the grid is ignored on its own.
  void Locate(int32_t column, int32_t row);
  // Writes text at the cursor, running on to the next row after column 39 and
  // back to (0, 0) after the last cell. A text longer than 32767 characters
  // raises the overflow error and writes nothing.
  void PrintText(std::string_view text);
  // PrintText, and every written cell is also queued for the coming frame.
  void PrintNow(std::string_view text);
  // Creates the grid anew, every cell empty; cursor and queues stay.
  void ClearGrid();
  // Queues a glyph at a pixel position (the first character of text).
  void QueuePixelSprite(std::string_view text, int16_t x, int16_t y);
  // Empties the cell queue, then the pixel queue.
  void EmptyQueues();

  friend bool operator==(const TextScreen& a, const TextScreen& b);

 private:
  void StoreAndAdvance(char ch);
  // Moves the cursor one cell on, wrapping at the end of a row and of the grid.
  void Advance();
};

}  // namespace rallix
