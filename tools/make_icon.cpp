// make_icon <dir>: writes the icon into <dir>: 32 x 32 and 16 x 16 as BMP for
// the window, PNGs from 16 x 16 to 256 x 256 for the desktop, and rallix.ico
// for the Windows program.
#include <cstdio>

#include "tools/file_output.h"
#include "tools/icon_art.h"

namespace {

int WriteIcons(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon <dir>\n");
    return 2;
  }
  rallix::art::WriteAll(argv[1], rallix::art::IconFiles());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  return rallix::art::RunGenerator("make_icon", WriteIcons, argc, argv);
}
