// The cosine and sine the ball's directions are made with.
#include "base/trig.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "demo/fnv1a.h"

namespace rallix {
namespace {

uint64_t Bits(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Every direction SetBallAngle can be given, t = -32768 .. 32767 degrees as
// t x 3.141592 / 180 radians, gets the nearest double to its exact cosine
// and sine. The expected digest of their bits (cosine then sine for each t,
// each double's bytes least significant first, FNV-1a) comes from the values
// worked out at 300 bits with mpmath: `scripts/trig-reference.py` prints it.
// The C library's std::cos and std::sin are not this: glibc 2.36 rounds 218
// of these 131072 values the other way, off by just over half an ulp.
TEST(Trig, EveryDirectionInWholeDegreesIsCorrectlyRounded) {
  Fnv1a64 digest;
  for (int t = -32768; t <= 32767; ++t) {
    const double x = t * 3.141592 / 180;
    digest.AddLittleEndian(Bits(Cosine(x)), 8);
    digest.AddLittleEndian(Bits(Sine(x)), 8);
  }
  EXPECT_EQ(digest.Value(), 0x26D5BBC3A735D482u);

  // A direction a return off the right end of the player's paddle can take
  // (306 degrees): the exact cosine lies 0.498 ulp above this double and
  // 0.502 below the next one, which is glibc's.
  EXPECT_EQ(Cosine(396 * 3.141592 / 180), 0x1.9e3796157cde7p-1);
}

TEST(Trig, SignsOfZeroAndTheEdgesOfTheDomain) {
  EXPECT_EQ(Bits(Sine(-0.0)), Bits(-0.0));
  EXPECT_EQ(Cosine(-0.0), 1.0);
  EXPECT_FALSE(std::isnan(Sine(kLargestTrigArgument)));
  EXPECT_TRUE(std::isnan(Sine(2 * kLargestTrigArgument)));
  EXPECT_TRUE(std::isnan(Cosine(INFINITY)));
}

}  // namespace
}  // namespace rallix
