#include "base/checked_math.h"

#include <cmath>
#include <limits>

#include "base/run_time_error.h"

namespace rallix {
namespace {

template <typename T>
T NarrowTo(int64_t value) {
  if (value < std::numeric_limits<T>::min() || value > std::numeric_limits<T>::max()) {
    RaiseOverflow();
  }
  return static_cast<T>(value);
}

template <typename T>
T RealTo(double integral) {
  // `integral` already holds a whole number (or NaN / infinity).
  if (!(integral >= static_cast<double>(std::numeric_limits<T>::min()) &&
        integral <= static_cast<double>(std::numeric_limits<T>::max()))) {
    RaiseOverflow();
  }
  return static_cast<T>(integral);
}

double RoundHalfEven(double value) {
  // nearbyint follows the current rounding mode, which is to-nearest-even
  // unless someone changed it; do it by hand to stay independent of that.
  double floor_value = std::floor(value);
  double diff = value - floor_value;
  if (diff < 0.5)
    return floor_value;
  if (diff > 0.5)
    return floor_value + 1.0;
  return std::fmod(floor_value, 2.0) == 0.0 ? floor_value : floor_value + 1.0;
}

}  // namespace

int16_t Add16(int32_t a, int32_t b) {
  return NarrowTo<int16_t>(int64_t{a} + b);
}
int16_t Sub16(int32_t a, int32_t b) {
  return NarrowTo<int16_t>(int64_t{a} - b);
}
int16_t Mul16(int32_t a, int32_t b) {
  return NarrowTo<int16_t>(int64_t{a} * b);
}

int32_t Add32(int64_t a, int64_t b) {
  // Operands come from 32-bit fields, so the 64-bit sum is exact.
  return NarrowTo<int32_t>(a + b);
}
int32_t Sub32(int64_t a, int64_t b) {
  return NarrowTo<int32_t>(a - b);
}
int32_t Mul32(int64_t a, int64_t b) {
  int64_t product = 0;
  if (__builtin_mul_overflow(a, b, &product))
    RaiseOverflow();
  return NarrowTo<int32_t>(product);
}

int16_t Narrow16(int64_t value) {
  return NarrowTo<int16_t>(value);
}
int32_t Narrow32(int64_t value) {
  return NarrowTo<int32_t>(value);
}

int16_t Round16(double value) {
  return RealTo<int16_t>(RoundHalfEven(value));
}
int32_t Round32(double value) {
  return RealTo<int32_t>(RoundHalfEven(value));
}
int16_t Floor16(double value) {
  return RealTo<int16_t>(std::floor(value));
}
int32_t Floor32(double value) {
  return RealTo<int32_t>(std::floor(value));
}
double FloorReal(double value) {
  return std::floor(value);
}

}  // namespace rallix
