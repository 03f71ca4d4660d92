#include "game/random_source.h"

namespace rallix {

void RandomSource::Reseed(int32_t clock_milliseconds) {
  // Mix the reading so neighbouring clocks give unrelated sequences.
  uint32_t z = static_cast<uint32_t>(clock_milliseconds) + 0x9E3779B9u;
  z = (z ^ (z >> 16)) * 0x85EBCA6Bu;
  z = (z ^ (z >> 13)) * 0xC2B2AE35u;
  z ^= z >> 16;
  state_ = z & 0xFFFFFFu;
}

float RandomSource::Next() {
  // A 24-bit linear congruential step: every value is exact in single precision.
  state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & 0xFFFFFFu;
  return static_cast<float>(state_) / 16777216.0f;
}

}  // namespace rallix
