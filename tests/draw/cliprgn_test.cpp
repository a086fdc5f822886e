// Coordinate mapping, clamping and segment clipping of the clip region.

#include <cstdint>
#include <random>

#include <gtest/gtest.h>

#include "draw/cliprgn.h"

namespace {

ZelClipRgn region(int l, int t, int r, int b, int ox = 0, int oy = 0)
{
    return ZelClipRgn{l, t, r, b, ox, oy, {}};
}

struct Clipped {
    bool visible;
    ZelVector2 p1, p2;
};

Clipped clip(const ZelClipRgn& rgn, ZelVector2 a, ZelVector2 b)
{
    bool v = rgn.clipLine(a, b);
    return {v, a, b};
}

TEST(ClipRgn, ClampReturnsFarEdgeAsExclusiveEnd)
{
    ZelClipRgn r = region(0, 0, 320, 200);
    EXPECT_EQ(r.clampX(-5), 0);
    EXPECT_EQ(r.clampX(320 + 7), 320);
    EXPECT_EQ(r.clampX(319), 319);
    EXPECT_EQ(r.clampY(-1), 0);
    EXPECT_EQ(r.clampY(500), 200);

    ZelClipRgn shifted = region(5, 7, 50, 60, 10, 20);
    EXPECT_EQ(shifted.clampX(0), 15);  // left + originX
    EXPECT_EQ(shifted.clampY(0), 27);
    EXPECT_EQ(shifted.clampX(-11), 5);
    EXPECT_EQ(shifted.clampY(100), 60);
}

TEST(ClipRgn, ContainsIsHalfOpen)
{
    ZelClipRgn r = region(2, 3, 10, 9);
    EXPECT_TRUE(r.contains(2, 3));
    EXPECT_TRUE(r.contains(9, 8));
    EXPECT_FALSE(r.contains(10, 8));
    EXPECT_FALSE(r.contains(9, 9));
    EXPECT_FALSE(r.contains(1, 5));
    EXPECT_FALSE(r.contains(5, 2));
}

TEST(ClipRgn, MappingNeverOverflowsUndefinedly)
{
    ZelClipRgn r = region(INT32_MAX - 1, 0, INT32_MAX, 10, 5, 0);
    EXPECT_EQ(r.mapX(0), static_cast<int32_t>(static_cast<uint32_t>(INT32_MAX) + 4u));
    EXPECT_EQ(r.clampX(INT32_MAX), INT32_MAX - 1);  // wrapped value lies left of the region
}

TEST(PointAt, TruncatesTowardZeroInInterpolationOrder)
{
    EXPECT_EQ(ZelVector2::pointAtX({0, 0}, {3, 1}, 2), ZelVector2(2, 0));
    EXPECT_EQ(ZelVector2::pointAtX({3, 1}, {0, 0}, 1), ZelVector2(1, 0));
    EXPECT_EQ(ZelVector2::pointAtY({0, 0}, {1, 3}, 2), ZelVector2(0, 2));
    // Negative results truncate toward zero, not downward.
    EXPECT_EQ(ZelVector2::pointAtX({0, 0}, {3, -2}, 2), ZelVector2(2, -1));
    // Division first: (1 / 49) * 49 is just below 1 in doubles.
    EXPECT_EQ(ZelVector2::pointAtX({0, 0}, {49, 49}, 1), ZelVector2(1, 0));
    EXPECT_EQ(ZelVector2::pointAtY({0, 0}, {49, 49}, 1), ZelVector2(0, 1));
}

TEST(PointAt, DegenerateDirectionGivesExtremes)
{
    EXPECT_EQ(ZelVector2::pointAtX({4, 0}, {4, 9}, 4).y, INT32_MAX);
    EXPECT_EQ(ZelVector2::pointAtX({4, 9}, {4, 9}, 4).y, INT32_MAX);
    EXPECT_EQ(ZelVector2::pointAtX({4, 9}, {4, 0}, 4).y, INT32_MIN);
    EXPECT_EQ(ZelVector2::pointAtY({0, 4}, {9, 4}, 4).x, INT32_MAX);
    EXPECT_EQ(ZelVector2::pointAtY({9, 4}, {0, 4}, 4).x, INT32_MIN);
}

TEST(ClipLine, TranslatesInsideSegmentsThroughOrigin)
{
    ZelClipRgn r = region(10, 20, 100, 100, 3, 4);
    Clipped c = clip(r, {0, 0}, {5, 6});
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.p1, ZelVector2(13, 24));
    EXPECT_EQ(c.p2, ZelVector2(18, 30));
}

TEST(ClipLine, CutsOnLastVisibleColumnAndRow)
{
    ZelClipRgn r = region(0, 0, 10, 10);
    Clipped c = clip(r, {-10, 5}, {20, 5});
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.p1, ZelVector2(0, 5));
    EXPECT_EQ(c.p2, ZelVector2(9, 5));

    c = clip(r, {4, -3}, {4, 10});  // an end exactly on bottom is moved to bottom - 1
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.p1, ZelVector2(4, 0));
    EXPECT_EQ(c.p2, ZelVector2(4, 9));

    c = clip(r, {10, 2}, {5, 2});  // x == right has outcode "right"
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.p1, ZelVector2(9, 2));
}

TEST(ClipLine, RejectsSegmentsOutsideOneSideOrPastACorner)
{
    ZelClipRgn r = region(0, 0, 10, 10);
    EXPECT_FALSE(clip(r, {-5, 0}, {-1, 9}).visible);
    EXPECT_FALSE(clip(r, {0, 10}, {9, 20}).visible);
    // Outcodes 1 and 4 share no bit; the cut with column 0 lies above.
    EXPECT_FALSE(clip(r, {-5, 3}, {3, -5}).visible);
    EXPECT_FALSE(clip(r, {3, -5}, {-5, 3}).visible);
    // Past the bottom-right corner.
    EXPECT_FALSE(clip(r, {15, 8}, {8, 15}).visible);
}

TEST(ClipLine, CornerStartsTryTheVerticalEdgeFirst)
{
    ZelClipRgn r = region(0, 0, 10, 10);
    // From above-left: column 0 is hit on row -2, so the top row decides.
    Clipped c = clip(r, {-4, -6}, {6, 4});
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.p1, ZelVector2(2, 0));
    EXPECT_EQ(c.p2, ZelVector2(6, 4));
    // From below-right, the column 9 cut lies inside and stands.
    c = clip(r, {12, 11}, {0, 5});
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.p1, ZelVector2(9, 9));
    // Right-above and left-below corners of a steep diagonal.
    c = clip(r, {14, -4}, {-4, 14});
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.p1, ZelVector2(9, 1));
    EXPECT_EQ(c.p2, ZelVector2(1, 9));
}

TEST(ClipLine, BothEndsInterpolateFromTheUnclippedPoints)
{
    // Clipping p1 first must not change where p2 is cut: compare with the
    // cut computed from the original end points directly.
    ZelClipRgn r = region(0, 0, 10, 10);
    ZelVector2 a{-7, 2}, b{23, 7};
    Clipped c = clip(r, a, b);
    ASSERT_TRUE(c.visible);
    EXPECT_EQ(c.p1, ZelVector2::pointAtX(a, b, 0));
    EXPECT_EQ(c.p2, ZelVector2::pointAtX(b, a, 9));
}

TEST(ClipLine, VisibleResultsAlwaysLieInsideTheRegion)
{
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> coord(-60, 60);
    for (int i = 0; i < 20000; ++i) {
        int l = coord(rng) / 2, t = coord(rng) / 2;
        ZelClipRgn r = region(l, t, l + 1 + (coord(rng) & 31), t + 1 + (coord(rng) & 31),
                              coord(rng) / 4, coord(rng) / 4);
        ZelVector2 a{coord(rng), coord(rng)}, b{coord(rng), coord(rng)};
        Clipped c = clip(r, a, b);
        if (c.visible) {
            ASSERT_TRUE(r.contains(c.p1.x, c.p1.y)) << i;
            ASSERT_TRUE(r.contains(c.p2.x, c.p2.y)) << i;
        }
        ZelVector2 ma{r.mapX(a.x), r.mapY(a.y)}, mb{r.mapX(b.x), r.mapY(b.y)};
        if (r.contains(ma.x, ma.y) && r.contains(mb.x, mb.y)) {
            ASSERT_TRUE(c.visible);
            ASSERT_EQ(c.p1, ma);
            ASSERT_EQ(c.p2, mb);
        }
    }
}

}  // namespace
