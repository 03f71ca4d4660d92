// web_glyph_table: the glyphs of the game's characters as the browser test
// reads the canvas with them, in JSON: {"cell": 16, "glyphs": [{"c": " ",
// "rows": ["0000000000000000", ...]}, ...]}, a row's '1's being white pixels.
// The blank comes first, so a cell that is all black reads as a space.
#include <cstdio>
#include <string>

#include "display/glyph_origin.h"
#include "display/glyph_sheet.h"

int main() {
  using namespace rallix;
  const char characters[] = " ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-+|<>";
  const Surface& sheet = BuiltInGlyphSheet();
  std::printf("{\"cell\": %d, \"glyphs\": [", kCellSize);
  for (const char* c = characters; *c != '\0'; ++c) {
    const GlyphPoint origin = GlyphOriginOf(*c);
    std::printf("%s\n  {\"c\": \"%c\", \"rows\": [", c == characters ? "" : ",", *c);
    for (int y = 0; y < kCellSize; ++y) {
      std::string row;
      for (int x = 0; x < kCellSize; ++x)
        row += sheet.At(origin.x + x, origin.y + y) == kBlack ? '0' : '1';
      std::printf("%s\"%s\"", y == 0 ? "" : ", ", row.c_str());
    }
    std::printf("]}");
  }
  std::printf("\n]}\n");
  return std::ferror(stdout) ? 1 : 0;
}
