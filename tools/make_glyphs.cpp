// make_glyphs <output.bmp>: writes the game's glyph sheet.
#include <cstdio>

#include "tools/file_output.h"
#include "tools/glyph_sheet_maker.h"

namespace {

int WriteSheet(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_glyphs <output.bmp>\n");
    return 2;
  }
  const bool written = rallix::art::WriteFileIfChanged(argv[1], rallix::art::GlyphSheetBmp());
  std::printf("%s %s\n", argv[1], written ? "written" : "unchanged");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return rallix::art::RunGenerator("make_glyphs", WriteSheet, argc, argv);
}
