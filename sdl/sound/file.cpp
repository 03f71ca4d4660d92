#include "sdl/sound/file.h"

namespace rallix {

std::optional<std::vector<uint8_t>> ReadOpenSoundFile(
    int64_t size, size_t max_bytes, const std::function<int64_t(uint8_t*, size_t)>& read_some) {
  if (size <= 0 || static_cast<uint64_t>(size) > max_bytes)
    return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  size_t got = 0;
  while (got < bytes.size()) {
    const int64_t n = read_some(bytes.data() + got, bytes.size() - got);
    if (n < 0)
      return std::nullopt;
    if (n == 0)
      break;  // the file shrank while it was read
    got += static_cast<size_t>(n);
  }
  if (got == 0)
    return std::nullopt;
  bytes.resize(got);
  return bytes;
}

}  // namespace rallix
