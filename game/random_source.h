// The game's pseudo-random numbers: uniform in [0, 1), single precision,
// reseeded from the clock at every serve. A small generator of our own, so a
// game with a fixed clock and fixed keys replays exactly.
#pragma once

#include <cstdint>

namespace rallix {

class RandomSource {
 public:
  // Seeds the generator from a clock reading in milliseconds.
  void Reseed(int32_t clock_milliseconds);
  // The next number, a multiple of 2^-24 in [0, 1).
  float Next();

  // The generator's whole state, to save it and to restore it later (only
  // the low 24 bits count).
  uint32_t State() const { return state_; }
  void SetState(uint32_t state) { state_ = state & 0xFFFFFFu; }
  friend bool operator==(const RandomSource& a, const RandomSource& b) {
    return a.state_ == b.state_;
  }

 private:
  uint32_t state_ = 0x50000u;
};

}  // namespace rallix
