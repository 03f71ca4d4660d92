// Reads a demo file. A file that simply stops (its recorder was killed) is a
// demo that ends early, after the passes of its last whole chunk; anything
// else that is not a demo this game can play is refused with a one-line
// reason: another kind of file, a newer format, damage (a checksum or a
// length that does not agree), or a file beyond the limits. The reader never
// reads past the bytes it is given and walks them once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "demo/demo.h"

namespace rallix {

struct ParsedDemo {
  Demo demo;
  std::string error;  // why the file was refused; empty when it was not
};

ParsedDemo ParseDemo(const std::vector<uint8_t>& bytes);

}  // namespace rallix
