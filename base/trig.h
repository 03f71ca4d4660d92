// The cosine and sine of an angle in radians, correctly rounded: the double
// nearest to the exact value. Computed with plain IEEE double arithmetic
// (no library trigonometry, no fused or extended precision), so every
// machine and compiler gives the same bits for the same argument, as the
// ball's directions must.
#pragma once

namespace rallix {

// The largest |x| these are defined for; beyond it, and for infinities and
// NaN, the result is NaN. The ball's directions stay below 600 radians.
constexpr double kLargestTrigArgument = 67108864.0;  // 2^26

// The exact value is worked out to about 100 bits before it is rounded, so
// the result is the nearest double unless the exact value lies within 2^-100
// of halfway between two doubles (no direction in whole degrees does).
double Cosine(double x);
double Sine(double x);

}  // namespace rallix
