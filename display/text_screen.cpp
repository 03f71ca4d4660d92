#include "display/text_screen.h"

#include "base/checked_math.h"
#include "base/run_time_error.h"

namespace rallix {
namespace {

// A print walks its text with a 16-bit counter, so a text of more than 32767
// characters overflows before any of it is written.
void CheckPrintLength(std::string_view text) {
  Narrow16(static_cast<int64_t>(text.size()));
}

}  // namespace

std::string TextGrid::Cell(int64_t column, int64_t row) const {
  if (column < 0 || column >= kGridColumns || row < 0 || row >= kGridRows) {
    RaiseSubscriptOutOfRange();
  }
  char ch = At(static_cast<int>(column), static_cast<int>(row));
  return ch == '\0' ? std::string() : std::string(1, ch);
}

void TextScreen::Locate(int32_t column, int32_t row) {
  if (column >= 0 && column < kGridColumns)
    CursorX = static_cast<int16_t>(column);
  if (row >= 0 && row < kGridRows)
    CursorY = static_cast<int16_t>(row);
}

void TextScreen::StoreAndAdvance(char ch) {
  Grid.Put(CursorX, CursorY, ch);
  Advance();
}

void TextScreen::Advance() {
  CursorX = static_cast<int16_t>(CursorX + 1);
  if (CursorX >= kGridColumns) {
    CursorX = 0;
    CursorY = static_cast<int16_t>(CursorY + 1);
  }
  if (CursorY >= kGridRows) {
    CursorY = 0;
    CursorX = 0;
  }
}

void TextScreen::PrintText(std::string_view text) {
  CheckPrintLength(text);
  for (char ch : text)
    StoreAndAdvance(ch);
}

void TextScreen::PrintNow(std::string_view text) {
  CheckPrintLength(text);
  for (char ch : text) {
    Grid.Put(CursorX, CursorY, ch);
    // The count is checked before the entry goes in, so an overflowing append
    // leaves the queue and its count in step (the cell is already written and
    // the cursor stays on it).
    int16_t count = Add16(CellSpriteCount, 1);
    CellSprites.push_back(SpriteEntry{CursorX, CursorY, ch});
    CellSpriteCount = count;
    Advance();
  }
}

void TextScreen::ClearGrid() {
  Grid = TextGrid();
}

void TextScreen::QueuePixelSprite(std::string_view text, int16_t x, int16_t y) {
  int16_t count = Add16(PixelSpriteCount, 1);
  PixelSprites.push_back(SpriteEntry{x, y, text.empty() ? '\0' : text.front()});
  PixelSpriteCount = count;
}

void TextScreen::EmptyQueues() {
  CellSprites.clear();
  CellSpriteCount = 0;
  PixelSprites.clear();
  PixelSpriteCount = 0;
}

bool operator==(const TextScreen& a, const TextScreen& b) {
  return a.CellSprites == b.CellSprites && a.CellSpriteCount == b.CellSpriteCount &&
         a.PixelSprites == b.PixelSprites && a.PixelSpriteCount == b.PixelSpriteCount &&
         a.Grid == b.Grid && a.CursorX == b.CursorX && a.CursorY == b.CursorY;
}

}  // namespace rallix
