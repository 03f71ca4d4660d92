// A small deflate encoder for pictures made of runs: every match repeats
// either the bytes just before it or the row above, coded with deflate's
// fixed Huffman table. Flat pixel art shrinks to a few percent of its size,
// which stored blocks (png_file.h) leave as it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rallix::art {

// A zlib stream of one fixed-Huffman block holding `data`. A match copies
// from `unit` bytes back (the previous pixel) or `row` bytes back (the pixel
// above); everything else is a literal.
std::vector<uint8_t> RunLengthZlib(const std::vector<uint8_t>& data, size_t unit, size_t row);

}  // namespace rallix::art
