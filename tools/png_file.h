// Writes PNG files without a compression library: the image data goes into
// stored (uncompressed) deflate blocks, which every PNG reader accepts, or,
// for big flat pictures, into runs (run_length_zlib.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rallix::art {

// A picture of 8-bit red, green, blue and alpha values, rows top-down.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // 4 bytes per pixel
};

// The CRC-32 of PNG chunks (and zip): reflected polynomial 0xEDB88320.
uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0);

// The Adler-32 checksum that ends a zlib stream.
uint32_t Adler32(const uint8_t* data, size_t size);

// A zlib stream of stored blocks (at most 65535 bytes each) holding `data`.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& data);

// How the image data is packed: as it is, or as runs of repeated pixels.
enum class PngPacking { kStored, kRuns };

// The whole file: signature, IHDR (8-bit RGBA, no interlace), IDAT, IEND.
std::vector<uint8_t> EncodeRgbaPng(const RgbaImage& image,
                                   PngPacking packing = PngPacking::kStored);

}  // namespace rallix::art
