// Integer sine and cosine: scale, exact quarter turns, symmetry and accuracy.

#include <cmath>
#include <cstdlib>

#include <gtest/gtest.h>

#include "engine/zelmath/zelmath.h"

namespace {

TEST(Trig, QuarterTurnsAreExact)
{
    const int q = ZelAngleQuarterTurn;
    EXPECT_EQ(iSin(0), 0);
    EXPECT_EQ(iSin(q), 1 << 20);
    EXPECT_EQ(iSin(2 * q), 0);
    EXPECT_EQ(iSin(3 * q), -(1 << 20));
    EXPECT_EQ(iCos(0), 1 << 20);
    EXPECT_EQ(iCos(q), 0);
    EXPECT_EQ(iCos(2 * q), -(1 << 20));
    EXPECT_EQ(iCos(3 * q), 0);
    EXPECT_EQ(iSin(-q), -(1 << 20));
    EXPECT_EQ(iSin(ZelAngleFullTurn + q), 1 << 20);
}

TEST(Trig, AnyIntIsAnAngleAndTheCurveIsSymmetric)
{
    for (int a : {1, 77, 5461, 12345, 16383, 30000, 65535, -1, -40000, 2147483647, -2000000000}) {
        EXPECT_EQ(iSin(a), -iSin(-a)) << a;
        EXPECT_EQ(iCos(a), iCos(-a)) << a;
        EXPECT_EQ(iSin(a), iCos(a - ZelAngleQuarterTurn)) << a;
    }
}

TEST(Trig, MatchesTheRealFunctionToHalfAUnit)
{
    const double turn = 2 * std::acos(-1.0);
    for (int a = 0; a < ZelAngleFullTurn; a += 7) {
        double r = a * turn / ZelAngleFullTurn;
        ASSERT_LE(std::abs(iSin(a) - std::sin(r) * (1 << 20)), 0.5 + 1e-6) << a;
        ASSERT_LE(std::abs(iCos(a) - std::cos(r) * (1 << 20)), 0.5 + 1e-6) << a;
    }
}

}  // namespace
