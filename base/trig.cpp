#include "base/trig.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>

namespace rallix {
namespace {

// Each operation must round to a double, not to a wider register (x87): the
// double-double steps below, and the game's own float and double arithmetic,
// rely on it.
static_assert(FLT_EVAL_METHOD == 0, "floating point must be evaluated in its own type");

// A number as the unevaluated sum hi + lo of two doubles, |lo| at most half
// an ulp of hi: about 106 bits. Every step below is an exact transformation
// or a known double-double operation (Dekker, Knuth), made of additions and
// multiplications that round to nearest, nothing else.
struct DoubleDouble {
  double hi = 0;
  double lo = 0;
};

// a + b exactly.
DoubleDouble TwoSum(double a, double b) {
  const double s = a + b;
  const double b_part = s - a;
  const double error = (a - (s - b_part)) + (b - b_part);
  return {s, error};
}

// a + b exactly, when |a| >= |b| (or a is 0).
DoubleDouble FastTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// a as a high half of 26 bits and a low half, for exact partial products.
void Split(double a, double& high, double& low) {
  const double t = 134217729.0 * a;  // 2^27 + 1
  high = t - (t - a);
  low = a - high;
}

// a * b exactly.
DoubleDouble TwoProduct(double a, double b) {
  const double p = a * b;
  double a_high = 0, a_low = 0, b_high = 0, b_low = 0;
  Split(a, a_high, a_low);
  Split(b, b_high, b_low);
  const double error = ((a_high * b_high - p) + a_high * b_low + a_low * b_high) + a_low * b_low;
  return {p, error};
}

DoubleDouble Add(DoubleDouble a, DoubleDouble b) {
  DoubleDouble s = TwoSum(a.hi, b.hi);
  const DoubleDouble t = TwoSum(a.lo, b.lo);
  s.lo += t.hi;
  s = FastTwoSum(s.hi, s.lo);
  s.lo += t.lo;
  return FastTwoSum(s.hi, s.lo);
}

DoubleDouble Negate(DoubleDouble a) {
  return {-a.hi, -a.lo};
}

DoubleDouble Multiply(DoubleDouble a, DoubleDouble b) {
  DoubleDouble p = TwoProduct(a.hi, b.hi);
  p.lo += a.hi * b.lo + a.lo * b.hi;
  return FastTwoSum(p.hi, p.lo);
}

DoubleDouble Divide(DoubleDouble a, double b) {
  const double q1 = a.hi / b;
  const DoubleDouble p = TwoProduct(q1, b);
  DoubleDouble r = TwoSum(a.hi, -p.hi);
  r.lo -= p.lo;
  r.lo += a.lo;
  const double q2 = (r.hi + r.lo) / b;
  return FastTwoSum(q1, q2);
}

// pi/2 as the sum of four doubles, each the nearest to what the ones before
// leave over: together within 2^-217 of pi/2.
constexpr double kHalfPi[4] = {0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54, -0x1.f1976b7ed8fbcp-110,
                               0x1.4cf98e804177dp-164};
constexpr double kTwoOverPi = 0x1.45f306dc9c883p-1;

// x = k pi/2 + r with k whole and |r| a little over pi/4 at most.
// k < 2^26 x 2/pi, so each k x part is an exact double-double, and after the
// first step the sum is within about 2^-27 of r: its rounding errors stay
// near 2^-106 of r itself.
DoubleDouble Reduce(double x, double& k) {
  k = std::floor(x * kTwoOverPi + 0.5);
  DoubleDouble r{x, 0};
  for (const double part : kHalfPi)
    r = Add(r, Negate(TwoProduct(k, part)));
  return r;
}

// sin r and cos r by their Taylor series, for |r| <= 0.8: the terms after
// r^29/29! and r^30/30! are below 2^-110 of the sums.
void SineAndCosineNearZero(DoubleDouble r, DoubleDouble& sine, DoubleDouble& cosine) {
  const DoubleDouble r2 = Multiply(r, r);
  DoubleDouble sine_term = r;
  DoubleDouble cosine_term{1, 0};
  sine = sine_term;
  cosine = cosine_term;
  for (int n = 2; n <= 30; n += 2) {
    // cos: r^n/n! from r^(n-2)/(n-2)!; sin: r^(n+1)/(n+1)! from r^(n-1)/(n-1)!.
    cosine_term = Negate(Divide(Multiply(cosine_term, r2), static_cast<double>(n * (n - 1))));
    sine_term = Negate(Divide(Multiply(sine_term, r2), static_cast<double>((n + 1) * n)));
    cosine = Add(cosine, cosine_term);
    sine = Add(sine, sine_term);
  }
}

// The nearest double to hi + lo: with |lo| at most half an ulp of hi, hi
// itself.
double Rounded(DoubleDouble a) {
  return FastTwoSum(a.hi, a.lo).hi;
}

enum class Wanted { kCosine, kSine };

double Trig(double x, Wanted wanted) {
  if (!(std::fabs(x) <= kLargestTrigArgument))
    return std::numeric_limits<double>::quiet_NaN();
  if (x == 0)
    return wanted == Wanted::kCosine ? 1.0 : x;  // sin keeps the zero's sign
  double k = 0;
  const DoubleDouble r = Reduce(x, k);
  DoubleDouble sine, cosine;
  SineAndCosineNearZero(r, sine, cosine);
  // Which quarter turn: k mod 4, for negative k too.
  const auto quarter = static_cast<int>(static_cast<int64_t>(k) & 3);
  // sin(r + q pi/2) and cos(r + q pi/2) for q = 0, 1, 2, 3.
  const DoubleDouble sines[4] = {sine, cosine, Negate(sine), Negate(cosine)};
  const DoubleDouble cosines[4] = {cosine, Negate(sine), Negate(cosine), sine};
  return Rounded(wanted == Wanted::kCosine ? cosines[quarter] : sines[quarter]);
}

}  // namespace

double Cosine(double x) {
  return Trig(x, Wanted::kCosine);
}

double Sine(double x) {
  return Trig(x, Wanted::kSine);
}

}  // namespace rallix
