// Writes 16-bit mono PCM WAVE files with the plain 44-byte header.
#pragma once

#include <cstdint>
#include <vector>

namespace rallix::art {

std::vector<uint8_t> EncodeMonoWav(const std::vector<int16_t>& samples, uint32_t sample_rate);

}  // namespace rallix::art
