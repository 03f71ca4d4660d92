// Checked arithmetic for the game's 16-bit and 32-bit integers. Every helper
// raises the overflow run-time error when its exact result does not fit its
// type, and the conversions from reals round the way the game rounds: to the
// nearest integer with an exact half going to the even neighbour, or down
// where a rule says floor.
#pragma once

#include <cstdint>

namespace rallix {

int16_t Add16(int32_t a, int32_t b);
int16_t Sub16(int32_t a, int32_t b);
int16_t Mul16(int32_t a, int32_t b);
int32_t Add32(int64_t a, int64_t b);
int32_t Sub32(int64_t a, int64_t b);
int32_t Mul32(int64_t a, int64_t b);

// The integer `value` as a 16-bit (32-bit) integer; overflow when it does not fit.
int16_t Narrow16(int64_t value);
int32_t Narrow32(int64_t value);

// Nearest integer, an exact half to the even neighbour (round(24.5) = 24,
// round(25.5) = 26). NaN and values outside the type overflow.
int16_t Round16(double value);
int32_t Round32(double value);

// The largest integer not above value, as a 16-bit (32-bit) integer.
int16_t Floor16(double value);
int32_t Floor32(double value);

// floor(value) as a double (no range check), for the rules that compare with it.
double FloorReal(double value);

}  // namespace rallix
