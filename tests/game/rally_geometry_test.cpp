// Where the ball goes: its directions, the paddles' hit rectangles and return
// angles, the walls, and how both paddles move. Every case is played through
// the rally's own handler; the expected numbers are worked out here from the
// rules, not read back from the game.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>

#include "base/run_time_error.h"
#include "game/computer_paddle.h"
#include "tests/support/rally_court.h"
#include "tests/support/screen_text.h"

namespace rallix {
namespace {

using testing::AngleOf;
using testing::RallyCourt;
using testing::SourceDrawingAfter;

constexpr uint32_t kHalf = 1u << 23;           // the draw 0.5: jitter 0
constexpr uint32_t kTopDraw = (1u << 24) - 1;  // the largest draw, 1 - 2^-24

double Below(double x) {
  return std::nextafter(x, -std::numeric_limits<double>::infinity());
}
double Above(double x) {
  return std::nextafter(x, std::numeric_limits<double>::infinity());
}

// Generators whose second draw (the jitter of a hit, after the computer's
// draw) is the given one. Each costs a search, so they are made once.
const RandomSource& JitterSource(uint32_t numerator) {
  static const RandomSource zero = SourceDrawingAfter(kHalf, 1);
  static const RandomSource lowest = SourceDrawingAfter(0, 1);
  static const RandomSource highest = SourceDrawingAfter(kTopDraw, 1);
  if (numerator == 0)
    return lowest;
  if (numerator == kTopDraw)
    return highest;
  return zero;
}

// ---------------------------------------------------------------- directions

TEST(BallAngle, WorkedValuesAtSpeedEight) {
  // vx = 8 cos(rad), vy = -8 sin(rad), rad = (angle + 90) x 3.141592 / 180;
  // e.g. 135: rad = 225 x 0.01745328889 = 3.9269900, cos -0.70710736,
  // sin -0.70710620, so vx -5.6568589 and vy 5.6568496. The 3.141592 shows in
  // the drift of 0 and 180 and in 405 differing from 45 (-5.6568542 by pi).
  // Each within half a unit of its last decimal place.
  struct Row {
    int angle;
    double vx;
    double vy;
    double vy_within;
  };
  const Row table[] = {
      {0, 0.0000026, -7.9999999999996, 5e-14},   {135, -5.6568589, 5.6568496, 5e-8},
      {180, -0.0000078, 7.9999999999962, 5e-14}, {225, 5.6568478, 5.6568607, 5e-8},
      {315, 5.6568626, -5.6568459, 5e-8},        {405, -5.6568441, -5.6568644, 5e-8},
  };
  RallyCourt court;
  court.record().BallSpeed = 8;
  for (const Row& row : table) {
    SCOPED_TRACE(row.angle);
    double vx = 99;
    double vy = 99;
    court.form.SetBallAngle(static_cast<int16_t>(row.angle), vx, vy);
    EXPECT_NEAR(vx, row.vx, 5e-8);
    EXPECT_NEAR(vy, row.vy, row.vy_within);
  }
}

// A return off the right end of the player's paddle at 306 degrees: the
// velocity is exactly 8 times the correctly rounded cosine and sine (worked
// out with mpmath), the same on every machine. glibc's std::cos gives the
// next double up, so a game would fly differently on another C library.
TEST(BallAngle, ADirectionIsTheSameToTheLastBitEverywhere) {
  RallyCourt court;
  court.record().BallSpeed = 8;
  double vx = 0;
  double vy = 0;
  court.form.SetBallAngle(306, vx, vy);
  EXPECT_EQ(vx, 0x1.9e3796157cde7p+2);
  EXPECT_EQ(vy, -0x1.2cf2093eccbb5p+2);
}

TEST(BallAngle, SpeedScalesTheVelocityAndLargeAnglesOverflow) {
  RallyCourt court;
  court.record().BallSpeed = 4;
  double vx = 0;
  double vy = 0;
  court.form.SetBallAngle(135, vx, vy);
  EXPECT_NEAR(vx, -5.6568589 / 2, 1e-7);
  EXPECT_NEAR(vy, 5.6568496 / 2, 1e-7);

  // 32677 + 90 is the largest 16-bit sum; one degree more is an overflow,
  // raised before either component is written.
  court.form.SetBallAngle(32677, vx, vy);
  EXPECT_NEAR(std::hypot(vx, vy), 4.0, 1e-12);
  vx = 1.25;
  vy = 2.5;
  try {
    court.form.SetBallAngle(32678, vx, vy);
    ADD_FAILURE() << "no overflow";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.Code(), RunTimeErrorCode::kOverflow);
  }
  EXPECT_EQ(vx, 1.25);
  EXPECT_EQ(vy, 2.5);
}

// ------------------------------------------------------------- return angles

// Sets up a ball about to strike the player's paddle (at column 6, in this
// frame's hit test) with its centre d pixels right of the paddle's first
// pixel, and the jitter draw fixed by `jitter_draw`.
void StrikePlayer(RallyCourt& court, int16_t kind, double d, uint32_t jitter_draw) {
  GameRecord& r = court.record();
  r.PlayerPaddleKind = kind;
  r.PlayerX = 6;
  r.Random = JitterSource(jitter_draw);
  court.PlaceBall(96 + d, 360, 0, 8);
}

// The same at the computer's paddle (at column 5); the ball is in row 2, out
// of the computer's reach at stage 1, level 1, so its paddle holds still.
void StrikeComputer(RallyCourt& court, int16_t kind, double d, uint32_t jitter_draw) {
  GameRecord& r = court.record();
  r.ComPaddleKind = kind;
  r.ComX = 5;
  r.Random = JitterSource(jitter_draw);
  court.PlaceBall(80 + d, 32, 0, -8);
}

// Plays the frame: one hit, and the ball sent off at `angle`.
void ExpectDirection(RallyCourt& court, int angle) {
  court.Frame();
  EXPECT_EQ(court.NewHits(), 1);
  EXPECT_EQ(AngleOf(court.form, court.record().BallVX, court.record().BallVY),
            std::optional<int>(angle));
}

TEST(ReturnAngle, TableForAllWidthsAndBothPaddles) {
  struct Row {
    int width_index;
    int width;
    int player[5];
    int computer[5];
  };
  // Columns: d = 0, 8W, 16W - 1, 16W, 16W + 15.
  const Row table[] = {
      {0, 3, {405, 360, 317, 315, 287}, {135, 180, 223, 225, 253}},
      {1, 5, {405, 360, 316, 315, 298}, {135, 180, 224, 225, 242}},
      {2, 7, {405, 360, 316, 315, 303}, {135, 180, 224, 225, 237}},
  };
  RallyCourt court;
  for (const Row& row : table) {
    const int w = row.width;
    const double ds[5] = {0, 8.0 * w, 16.0 * w - 1, 16.0 * w, 16.0 * w + 15};
    for (int i = 0; i < 5; ++i) {
      SCOPED_TRACE(::testing::Message() << "W " << w << ", d " << ds[i]);
      StrikePlayer(court, static_cast<int16_t>(row.width_index), ds[i], kHalf);
      ExpectDirection(court, row.player[i]);
      StrikeComputer(court, static_cast<int16_t>(row.width_index), ds[i], kHalf);
      ExpectDirection(court, row.computer[i]);
    }
  }
}

TEST(ReturnAngle, ExactHalvesGoToTheEvenNeighbour) {
  RallyCourt court;
  // W = 5: d x 90 / 80 is 4.5 at d = 4 and 13.5 at d = 12.
  StrikePlayer(court, 1, 4, kHalf);  // 400.5
  ExpectDirection(court, 400);
  StrikePlayer(court, 1, 12, kHalf);  // 391.5
  ExpectDirection(court, 392);
  StrikeComputer(court, 1, 4, kHalf);  // 139.5
  ExpectDirection(court, 140);
  StrikeComputer(court, 1, 12, kHalf);  // 148.5
  ExpectDirection(court, 148);
}

TEST(ReturnAngle, JitterAndHalfPixelAllowanceSpanTheWholeRange) {
  RallyCourt court;
  // The steepest and flattest returns of each side: -8 and +7 of jitter on
  // the extreme positions the rounding still lets through.
  StrikePlayer(court, 1, -0.5, kTopDraw);  // 405.5625 rounds to 406
  ExpectDirection(court, 413);
  StrikePlayer(court, 0, 63.4, 0);  // 285.96 rounds to 286
  ExpectDirection(court, 278);
  StrikeComputer(court, 1, -0.5, 0);  // 134.4375 rounds to 134
  ExpectDirection(court, 126);
  StrikeComputer(court, 0, 63.4, kTopDraw);  // 253.88 rounds to 254
  ExpectDirection(court, 261);
  // The jitter steps at sixteenths of the draw: just below 1/16 is still -8.
  court.record().Random = SourceDrawingAfter((1u << 20) - 1, 1);
  court.PlaceBall(96 + 40, 360, 0, 8);
  court.record().PlayerX = 6;
  court.record().PlayerPaddleKind = 1;
  ExpectDirection(court, 352);
  court.record().Random = SourceDrawingAfter(1u << 20, 1);
  court.PlaceBall(96 + 40, 360, 0, 8);
  ExpectDirection(court, 353);
}

TEST(ReturnAngle, TheBallsRowChoosesTheFormulaNotTheRectangleStruck) {
  RallyCourt court;
  GameRecord& r = court.record();
  r.PlayerPaddleKind = 1;
  r.PlayerX = 10;
  r.ComPaddleKind = 1;
  r.ComX = 5;
  // Row 11, next y in the computer's rectangle: the player's formula, with
  // d measured from the player's paddle (160 - 160 = 0, so 405).
  r.Random = JitterSource(kHalf);
  court.PlaceBall(160, 176, 0, -150);
  ExpectDirection(court, 405);
  // Row 10, next y in the player's rectangle: the computer's formula, d from
  // the computer's paddle (d = 160 - 80 = 80 = 16 W, so 225). The computer's
  // paddle does not act: its reach is below row 10 at stage 1, level 1.
  r.Random = JitterSource(kHalf);
  court.PlaceBall(160, Below(176), 0, 200);
  ExpectDirection(court, 225);
}

// ----------------------------------------------------------------- hit windows

// Plays one frame with the ball at (x, y) moving straight to the next y
// (exactly, when y and next_y lie within a factor of two of each other: the
// difference is then exact, and so is adding it back): was it struck?
bool Struck(RallyCourt& court, double x, double y, double next_y) {
  court.PlaceBall(x, y, 0, next_y - y);
  court.Frame();
  return court.NewHits() == 1;
}

TEST(HitWindow, PlayerRectangleWithTheHalfPixelAllowance) {
  RallyCourt court;
  GameRecord& r = court.record();
  for (int16_t kind = 0; kind <= 2; ++kind) {
    r.PlayerPaddleKind = kind;
    const int w = r.PlayerPaddles(kind).Width;
    r.PlayerX = 7;
    const double left = 16.0 * 7 - 0.5;
    const double right = 16.0 * (7 + w) + 15.5;
    SCOPED_TRACE(w);
    // x: 16 PlayerX - 0.5 <= BallX < 16 (PlayerX + W) + 15.5.
    EXPECT_TRUE(Struck(court, left, 360, 368));
    EXPECT_FALSE(Struck(court, Below(left), 360, 368));
    EXPECT_TRUE(Struck(court, Below(right), 360, 368));
    EXPECT_FALSE(Struck(court, right, 360, 368));
    // Next y: 367.5 <= BallY + BallVY < 383.5.
    EXPECT_TRUE(Struck(court, 120, 360, 367.5));
    EXPECT_FALSE(Struck(court, 120, 360, Below(367.5)));
    EXPECT_TRUE(Struck(court, 120, 376, Below(383.5)));
    EXPECT_FALSE(Struck(court, 120, 376, 383.5));
  }
}

TEST(HitWindow, ComputerRectangleIsTestedOnlyFromSixteenDown) {
  RallyCourt court;
  GameRecord& r = court.record();
  r.BallSpeed = 4;  // reach below 1: the paddle acts in row 0 only
  for (int16_t kind = 0; kind <= 2; ++kind) {
    r.ComPaddleKind = kind;
    const int w = r.ComPaddles(kind).Width;
    r.ComX = 5;
    SCOPED_TRACE(w);
    EXPECT_TRUE(Struck(court, 79.5, 40, 16));
    EXPECT_FALSE(Struck(court, Below(79.5), 40, 16));
    EXPECT_TRUE(Struck(court, Below(16.0 * (5 + w) + 15.5), 40, 16));
    EXPECT_FALSE(Struck(court, 16.0 * (5 + w) + 15.5, 40, 16));
    // Next y: 16 <= BallY + BallVY < 31.5. From 15.5 up it would round to the
    // rectangle's top row, but a next y below 16 is not tested at all.
    EXPECT_TRUE(Struck(court, 100, 24, 16));
    EXPECT_FALSE(Struck(court, 100, 24, Below(16)));
    EXPECT_FALSE(Struck(court, 100, 24, 15.5));
    EXPECT_TRUE(Struck(court, 100, 24, Below(31.5)));
    EXPECT_FALSE(Struck(court, 100, 24, 31.5));
  }
}

TEST(HitWindow, NoTestLeftOfTheCourtEdge) {
  RallyCourt court;
  GameRecord& r = court.record();
  // A paddle rectangle that reaches past x = 0 (column 0 is a wall, but the
  // test does not know that): a ball at x < 0 is not tested.
  r.PlayerX = 0;
  EXPECT_TRUE(Struck(court, 0, 360, 368));
  EXPECT_FALSE(Struck(court, -0.25, 360, 368));  // would round to 0, inside
}

TEST(HitWindow, BallStillInsideNextFrameIsStruckAgain) {
  RallyCourt court;
  GameRecord& r = court.record();
  r.BallSpeed = 4;
  r.PlayerX = 6;
  r.PlayerPaddleKind = 1;
  court.PlaceBall(96 + 60, 378, 0, 4);
  const RandomSource before = r.Random;
  court.Frame();
  EXPECT_EQ(court.NewHits(), 1);
  const double first_vx = r.BallVX;
  ASSERT_LT(r.BallY + r.BallVY, 383.5);  // next y still inside the rectangle
  court.Frame();
  EXPECT_EQ(court.NewHits(), 1);
  EXPECT_NE(r.BallVX, first_vx);  // a new angle from the new x
  // Two frames with a hit each: the computer's draw and the jitter, twice.
  RandomSource expected = before;
  for (int i = 0; i < 4; ++i)
    expected.Next();
  EXPECT_EQ(r.Random, expected);
}

// ------------------------------------------------------------------- walls

// One frame with the ball at (x, y) and velocity (vx, 0): did it bounce?
bool Bounced(RallyCourt& court, double x, double y, double vx) {
  court.PlaceBall(x, y, vx, 0);
  court.Frame();
  bool pin = false;
  for (const auto& event : court.NewSounds())
    pin = pin || event.file == "pin.WAV";
  EXPECT_EQ(pin, court.record().BallVX == -vx) << "sound and reflection disagree";
  return pin;
}

TEST(WallBounce, ColumnOfTheNextXAndTheNearestRow) {
  RallyCourt court;
  court.record().PlayerX = 6;
  // The next x's column decides: 16 is column 1, just below is column 0.
  // (Below(16) - 20 is exact, and so is adding it back.)
  EXPECT_FALSE(Bounced(court, 20, 200, -4));
  EXPECT_TRUE(Bounced(court, 20, 200, Below(16) - 20));
  EXPECT_FALSE(Bounced(court, 330, 200, Below(336) - 330));
  EXPECT_TRUE(Bounced(court, 330, 200, 6));
  // The bounced ball moves with the reflected velocity.
  EXPECT_EQ(court.record().BallX, 324);
  // Row 0 (y 0..8 rounds to it) and the wall's last row, 24: BallY / 16 =
  // 24.5 rounds to the even 24.
  EXPECT_TRUE(Bounced(court, 20, 0, -8));
  EXPECT_TRUE(Bounced(court, 20, 392, -8));
  EXPECT_FALSE(Bounced(court, 20, Above(392), -8));  // row 25: no wall
  EXPECT_FALSE(Bounced(court, 20, 399.5, -8));
  // The ball crossed the wall column on its way out.
  EXPECT_EQ(court.record().BallX, 12);
}

TEST(WallBounce, NotTestedLeftOfZeroOrAboveTheTop) {
  RallyCourt court;
  // A next x below 0 is not looked up (its column would be outside the grid).
  EXPECT_FALSE(Bounced(court, 4, 200, -8));
  EXPECT_EQ(court.record().BallX, -4);
  ASSERT_EQ(court.record().State, kStateRally);
  // Moving on from there: still not tested, no error, the ball keeps going.
  court.form.PlayRally();
  EXPECT_EQ(court.record().BallX, -12);
  ASSERT_EQ(court.record().Screen.PixelSprites.size(), 1u);
  EXPECT_EQ(court.record().Screen.PixelSprites[0].X, -12);
  court.record().Screen.EmptyQueues();
  // A ball above the top edge is not tested either.
  EXPECT_FALSE(Bounced(court, 20, -0.25, -8));
}

TEST(WallBounce, TheGridHoldsTheWalls) {
  RallyCourt court;
  GameRecord& r = court.record();
  r.Screen.Grid.Put(21, 10, ' ');
  r.Screen.Grid.Put(10, 12, '|');
  EXPECT_FALSE(Bounced(court, 330, 160, 8));  // row 10 lost its wall
  EXPECT_TRUE(Bounced(court, 155, 192, 8));   // a "|" in the court reflects
  EXPECT_EQ(court.record().BallX, 147);
}

TEST(WallBounce, StruckBallBouncesWithItsNewVelocity) {
  RallyCourt court;
  GameRecord& r = court.record();
  r.PlayerPaddleKind = 1;
  r.PlayerX = 16;  // the paddle's rectangle reaches into the wall column
  r.Random = JitterSource(kHalf);
  // Coming from the right at -3 it would not reach the wall; the return at
  // 315 degrees (d = 16W) heads right into column 21 and is reflected.
  court.PlaceBall(336, 360, -3, 8);
  court.Frame();
  std::vector<std::string> files;
  for (const auto& event : court.NewSounds())
    files.push_back(event.file);
  EXPECT_EQ(files, (std::vector<std::string>{"pon.WAV", "pin.WAV"}));
  EXPECT_EQ(AngleOf(court.form, -r.BallVX, r.BallVY), std::optional<int>(315));
  EXPECT_NEAR(r.BallX, 336 - 5.6568626, 5e-8);
}

// ------------------------------------------------------- the computer's paddle

// The computer's paddle column after a frame that finds it at `com_x` and
// the ball at (x, y), with the frame's draw numerator / 2^24.
int16_t ComAfter(const GameRecord& r, int16_t com_x, double x, double y, uint32_t numerator) {
  return ComputerPaddleColumn(r, com_x, x, y, static_cast<float>(numerator) / 16777216.0f);
}

TEST(ComputerPaddle, ReachIsWorkedOutInSinglePrecision) {
  // reach = (Stage r + Level) x BallSpeed / 8 for the frame's draw r, in
  // single precision: the paddle acts while the ball's row is no more than
  // the reach. E.g. stage 3, level 2: 3 x 5592405 / 2^24 is 1 - 2^-24, and
  // adding 2 rounds to 3.0 (in double it would stay below); the largest draw
  // rounds 3 r + 2 up to 5.0, and at stage 1, level 1, r + 1 up to 2.0.
  struct Row {
    int16_t stage, level, speed;
    uint32_t draw;  // numerator of the draw
    int last_row;   // the last row the paddle acts in
  };
  // At stage 2, level 3, speed 4, (2 r + 3) / 2: 1.5, and 2.5 at the largest draw.
  const Row table[] = {
      {1, 1, 8, 0, 1},     {1, 1, 8, kTopDraw, 2}, {1, 1, 4, 0, 0},        {3, 2, 8, 0, 2},
      {3, 2, 8, kHalf, 3}, {3, 2, 8, 5592405, 3},  {3, 2, 8, 5592404, 2},  {3, 2, 8, kTopDraw, 5},
      {5, 5, 8, 0, 5},     {2, 3, 4, 0, 1},        {2, 3, 4, kTopDraw, 2},
  };
  RallyCourt court;
  GameRecord& r = court.record();
  for (const Row& row : table) {
    r.Stage = row.stage;
    r.Level = row.level;
    r.BallSpeed = row.speed;
    SCOPED_TRACE(::testing::Message() << "stage " << row.stage << ", level " << row.level
                                      << ", speed " << row.speed << ", draw " << row.draw);
    // The ball far left of the paddle: acting is a step left.
    EXPECT_EQ(ComAfter(r, 10, 24, 16.0 * row.last_row + 8, row.draw), 9);
    EXPECT_EQ(ComAfter(r, 10, 24, 16.0 * row.last_row + 16, row.draw), 10);
  }
}

TEST(ComputerPaddle, HoldsStillOverAFixedFourColumnsForEveryWidth) {
  RallyCourt court;
  GameRecord& r = court.record();
  r.Stage = 5;
  r.Level = 5;  // reach 5 or more: the paddle acts in row 2
  for (int16_t kind = 0; kind <= 2; ++kind) {
    r.ComPaddleKind = kind;
    SCOPED_TRACE(kind);
    EXPECT_EQ(ComAfter(r, 5, 80, 40, 0), 5);
    EXPECT_EQ(ComAfter(r, 5, Below(80), 40, 0), 4);
    EXPECT_EQ(ComAfter(r, 5, 144, 40, 0), 5);
    EXPECT_EQ(ComAfter(r, 5, Above(144), 40, 0), 6);
    // Within its columns only.
    EXPECT_EQ(ComAfter(r, 1, 2, 40, 0), 1);
    const int16_t max_x = r.ComPaddles(kind).MaxX;
    // (x = 400 lies right of the court; for the narrow paddle nothing in the
    // court is right of 16 x (MaxX + 4) = 352.)
    EXPECT_EQ(ComAfter(r, max_x, 400, 40, 0), max_x);
    EXPECT_EQ(ComAfter(r, static_cast<int16_t>(max_x - 1), 400, 40, 0), max_x);
    // A position that is not a number lies in no row: out of reach.
    EXPECT_EQ(ComAfter(r, 5, std::nan(""), std::nan(""), 0), 5);
  }
}

TEST(ComputerPaddle, DrawsEveryFrameAndTheJitterAfterIt) {
  RallyCourt court;
  GameRecord& r = court.record();
  // Far below the paddle's reach, nothing struck: one draw.
  RandomSource expected = r.Random;
  expected.Next();
  court.PlaceBall(200, 250, 1, 2);
  court.Frame();
  EXPECT_EQ(r.Random, expected);
  // A hit: the computer's draw first, then the jitter. With the jitter draw
  // fixed at 0.5 the angle carries no jitter; had the order been the other
  // way round the first draw would have given the jitter.
  r.PlayerPaddleKind = 1;
  r.PlayerX = 6;
  r.Random = SourceDrawingAfter(kHalf, 1);
  RandomSource first = r.Random;
  ASSERT_NE(std::floor(16 * first.Next()), 8);
  court.PlaceBall(96, 360, 0, 8);
  ExpectDirection(court, 405);
}

// --------------------------------------------------------- the player's paddle

TEST(PlayerPaddle, LeftAndRightHeldTogether) {
  RallyCourt court;
  GameRecord& r = court.record();
  court.platform.Hold({kVkLeft, kVkRight});
  for (int16_t kind = 0; kind <= 2; ++kind) {
    r.PlayerPaddleKind = kind;
    const int16_t max_x = r.PlayerPaddles(kind).MaxX;
    court.PlaceBall(200, 100, 0, 1);
    r.PlayerX = 1;
    court.Frame();
    EXPECT_EQ(r.PlayerX, 2);  // Left cannot act at 1, Right then can
    court.Frame();
    EXPECT_EQ(r.PlayerX, 2);
    r.PlayerX = 7;
    court.Frame();
    EXPECT_EQ(r.PlayerX, 7);
    r.PlayerX = max_x;
    court.Frame();
    EXPECT_EQ(r.PlayerX, max_x);
  }
}

TEST(PlayerPaddle, HeldKeysStepOneColumnAFrameWithinTheCourt) {
  RallyCourt court;
  GameRecord& r = court.record();
  r.PlayerPaddleKind = 2;
  court.PlaceBall(200, 100, 0, 1);
  r.PlayerX = 3;
  court.platform.Hold({kVkLeft});
  court.Frame();
  EXPECT_EQ(r.PlayerX, 2);
  court.Frame();
  court.Frame();
  EXPECT_EQ(r.PlayerX, 1);
  court.platform.Hold({kVkRight});
  r.PlayerX = 13;
  court.Frame();
  court.Frame();
  court.Frame();
  EXPECT_EQ(r.PlayerX, 14);
}

TEST(PlayerPaddle, EachFrameQueuesBothPaddlesBlankFirstThenTheBall) {
  RallyCourt court;
  GameRecord& r = court.record();
  r.PlayerPaddleKind = 0;
  r.ComPaddleKind = 2;
  r.PlayerX = 12;
  r.ComX = 5;
  court.platform.Hold({kVkLeft});
  court.PlaceBall(100.75, 200.5, 0, -0.75);
  court.form.PlayRally();
  std::string queued;
  for (const SpriteEntry& cell : r.Screen.CellSprites) {
    queued += std::to_string(cell.X) + "," + std::to_string(cell.Y) + cell.Glyph + " ";
  }
  EXPECT_EQ(queued,
            "12,23  13,23  14,23  11,23- 12,23+ 13,23- "
            "5,1  6,1  7,1  8,1  9,1  10,1  11,1  "
            "5,1- 6,1- 7,1- 8,1- 9,1- 10,1- 11,1- ");
  EXPECT_EQ(r.Screen.CellSpriteCount, 20);
  // The ball at its new position, rounded down: (100.75, 199.75).
  ASSERT_EQ(r.Screen.PixelSprites.size(), 1u);
  EXPECT_EQ(r.Screen.PixelSprites[0], (SpriteEntry{100, 199, 'O'}));
  // The grid holds both paddles where they now are.
  EXPECT_EQ(testing::GridText(r.Screen.Grid, 11, 23, 4), "-+- ");
}

}  // namespace
}  // namespace rallix
