#include "tools/png_file.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string_view>

#include "tools/byte_writer.h"
#include "tools/run_length_zlib.h"

namespace rallix::art {
namespace {

std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int bit = 0; bit < 8; ++bit)
      c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

// Appends one chunk: length, type, data, and the CRC of type and data.
void Chunk(ByteWriter& out, std::string_view type, const std::vector<uint8_t>& data) {
  out.U32BigEndian(static_cast<uint32_t>(data.size()));
  ByteWriter body;
  body.Bytes(type);
  body.Bytes(data);
  out.Bytes(body.View());
  out.U32BigEndian(Crc32(body.View().data(), body.View().size()));
}

}  // namespace

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc) {
  static const std::array<uint32_t, 256> table = MakeCrcTable();
  crc = ~crc;
  for (size_t i = 0; i < size; ++i)
    crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
  return ~crc;
}

uint32_t Adler32(const uint8_t* data, size_t size) {
  constexpr uint32_t kModulus = 65521;
  uint32_t a = 1;
  uint32_t b = 0;
  for (size_t i = 0; i < size; ++i) {
    a = (a + data[i]) % kModulus;
    b = (b + a) % kModulus;
  }
  return b << 16 | a;
}

std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& data) {
  constexpr size_t kMaxBlock = 65535;
  ByteWriter out;
  out.U8(0x78);  // deflate, 32 KB window
  out.U8(0x01);  // no preset dictionary, fastest; 0x7801 is a multiple of 31
  size_t offset = 0;
  do {
    const size_t length = std::min(kMaxBlock, data.size() - offset);
    const bool last = offset + length == data.size();
    out.U8(last ? 1 : 0);  // BFINAL, BTYPE 00 (stored)
    out.U16(static_cast<uint16_t>(length));
    out.U16(static_cast<uint16_t>(~length));
    out.Bytes(std::vector<uint8_t>(data.begin() + static_cast<std::ptrdiff_t>(offset),
                                   data.begin() + static_cast<std::ptrdiff_t>(offset + length)));
    offset += length;
  } while (offset < data.size());
  out.U32BigEndian(Adler32(data.data(), data.size()));
  return out.Take();
}

std::vector<uint8_t> EncodeRgbaPng(const RgbaImage& image, PngPacking packing) {
  if (image.width <= 0 || image.height <= 0 ||
      image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4) {
    throw std::invalid_argument("a PNG needs a positive size and four bytes per pixel");
  }
  ByteWriter out;
  out.Bytes("\x89PNG\r\n\x1a\n");

  ByteWriter header;
  header.U32BigEndian(static_cast<uint32_t>(image.width));
  header.U32BigEndian(static_cast<uint32_t>(image.height));
  header.U8(8);  // bits per channel
  header.U8(6);  // colour type: RGBA
  header.U8(0);  // deflate
  header.U8(0);  // adaptive filtering
  header.U8(0);  // no interlace
  Chunk(out, "IHDR", header.View());

  const size_t row_bytes = static_cast<size_t>(image.width) * 4;
  std::vector<uint8_t> scanlines;
  scanlines.reserve((row_bytes + 1) * static_cast<size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    scanlines.push_back(0);  // filter: none
    auto row = image.rgba.begin() + static_cast<std::ptrdiff_t>(row_bytes * y);
    scanlines.insert(scanlines.end(), row, row + static_cast<std::ptrdiff_t>(row_bytes));
  }
  Chunk(out, "IDAT",
        packing == PngPacking::kRuns ? RunLengthZlib(scanlines, 4, row_bytes + 1)
                                     : StoredZlib(scanlines));
  Chunk(out, "IEND", {});
  return out.Take();
}

}  // namespace rallix::art
