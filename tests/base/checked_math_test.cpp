#include "base/checked_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/run_time_error.h"

namespace rallix {
namespace {

bool Overflows(void (*operation)()) {
  try {
    operation();
  } catch (const RunTimeError& error) {
    return error.Code() == RunTimeErrorCode::kOverflow;
  }
  return false;
}

TEST(CheckedMath, SixteenBitArithmeticOverflowsOutsideItsRange) {
  EXPECT_EQ(Add16(32677, 90), 32767);
  EXPECT_TRUE(Overflows([] { Add16(32678, 90); }));
  EXPECT_EQ(Sub16(-32767, 1), -32768);
  EXPECT_TRUE(Overflows([] { Sub16(-32768, 1); }));
  EXPECT_EQ(Mul16(5, 1000), 5000);
  EXPECT_TRUE(Overflows([] { Mul16(33, 1000); }));
  EXPECT_TRUE(Overflows([] { Narrow16(40000); }));
}

TEST(CheckedMath, ThirtyTwoBitArithmeticOverflowsOutsideItsRange) {
  EXPECT_EQ(Add32(2147483547, 100), 2147483647);
  EXPECT_TRUE(Overflows([] { Add32(2147483647, 1); }));
  EXPECT_TRUE(Overflows([] { Sub32(std::numeric_limits<int32_t>::min(), 1); }));
  EXPECT_EQ(Mul32(20, 5000), 100000);
  EXPECT_TRUE(Overflows([] { Mul32(65536, 65536); }));
}

TEST(CheckedMath, RoundingGoesToNearestWithHalvesToEven) {
  EXPECT_EQ(Round16(24.5), 24);
  EXPECT_EQ(Round16(25.5), 26);
  EXPECT_EQ(Round16(-0.5), 0);
  EXPECT_EQ(Round16(-1.5), -2);
  EXPECT_EQ(Round16(2.4999999), 2);
  EXPECT_EQ(Round16(2.5000001), 3);
  EXPECT_EQ(Round32(367.5), 368);
  EXPECT_EQ(Round32(383.5), 384);
  EXPECT_EQ(Round16(32767.4), 32767);
  EXPECT_TRUE(Overflows([] { Round16(32767.5); }));
  EXPECT_TRUE(Overflows([] { Round32(std::nan("")); }));
  EXPECT_TRUE(Overflows([] { Round32(INFINITY); }));
}

TEST(CheckedMath, FloorRoundsDown) {
  EXPECT_EQ(Floor16(15.999), 15);
  EXPECT_EQ(Floor16(-0.25), -1);
  EXPECT_EQ(Floor32(399.99), 399);
  EXPECT_TRUE(Overflows([] { Floor16(32768.0); }));
  EXPECT_EQ(Floor16(-32768.0), -32768);
}

}  // namespace
}  // namespace rallix
