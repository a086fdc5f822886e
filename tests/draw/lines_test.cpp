// Runs and lines: pixels of the worked examples, clipping from every side,
// and the promise that nothing outside the clip region is ever written.

#include <random>

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "test_support.h"

namespace {

using zeltest::picture;
using zeltest::ScreenSetup;

TEST(Lines, MinorStepComesFirstAndZeroErrorTakesIt)
{
    ScreenSetup s(6, 4);
    putLine(0, 0, 4, 2, 1);
    EXPECT_EQ(picture(s.bitmap()),
              "1.....\n"
              ".11...\n"
              "...11.\n"
              "......\n");
    clrScreen(0);
    putLine(0, 0, 4, 1, 2);
    EXPECT_EQ(picture(s.bitmap()),
              "22....\n"
              "..222.\n"
              "......\n"
              "......\n");
}

TEST(Lines, FortyFiveDegreesIsYMajorAndDirectionMatters)
{
    ScreenSetup s(5, 6);
    putLine(0, 0, 4, 4, 1);
    EXPECT_EQ(picture(s.bitmap()), "1....\n.1...\n..1..\n...1.\n....1\n.....\n");
    clrScreen(0);
    // The same slope walked the other way rounds the other way.
    putLine(0, 0, 4, 2, 1);
    putLine(4, 5, 0, 3, 2);
    EXPECT_EQ(picture(s.bitmap()),
              "1....\n"
              ".11..\n"
              "...11\n"
              "22...\n"
              "..22.\n"
              "....2\n");
}

TEST(Lines, DegenerateAndAxisAlignedLinesUseRuns)
{
    ScreenSetup s(8, 4);
    putLine(5, 1, 5, 1, 3);
    putLine(7, 3, 2, 3, 4);
    putLine(0, 3, 0, 0, 5);
    EXPECT_EQ(picture(s.bitmap()),
              "5.......\n"
              "5....3..\n"
              "5.......\n"
              "5.444444\n");
    clrScreen(0);
    putVLine(1, 1, 0, 9);
    putHLine(1, 1, -3, 9);
    putVLine(1, 0, 2, 1);
    putHLine(3, 2, 3, 2);
    EXPECT_EQ(picture(s.bitmap()), ".1......\n.1......\n...222..\n........\n");
}

TEST(Lines, RunsClampToTheRegionAndRespectItsOrigin)
{
    ScreenSetup s(8, 6);
    s.setRegion(2, 1, 6, 5, 1, 1);  // drawing (0, 0) is pixel (3, 2)
    putHLine(-5, 0, 20, 1);
    putVLine(0, -5, 20, 2);
    putVLine(3, 0, 2, 3);   // column 6 lies right of the region
    putHLine(0, 3, 2, 3);   // row 5 lies below it
    EXPECT_EQ(picture(s.bitmap()),
              "........\n"
              "...2....\n"
              "..1211..\n"
              "...2....\n"
              "...2....\n"
              "........\n");
}

int inkOnRow(const Bitmap& b, int y)
{
    int n = 0;
    for (int x = 0; x < b.width; ++x)
        n += b.pixels()[y * b.width + x] != 0;
    return n;
}

TEST(Lines, ClippedLinesStartOnTheEdgeTheyEnter)
{
    ScreenSetup s(12, 12);
    s.setRegion(2, 2, 10, 10, -2, -2);  // drawing coordinates are bitmap coordinates
    // From the left: the cut lands on column 2, row 6, and the walk restarts
    // there with a fresh error term, so the visible part stays on row 6.
    putLine(-40, 4, 20, 7, 1);
    EXPECT_EQ(inkOnRow(s.bitmap(), 6), 8);
    EXPECT_EQ(*s.bitmap().pixelAt(2, 6), 1);
    clrScreen(0);
    // From above: one pixel on every visible row, starting at column 5.
    putLine(5, -30, 7, 40, 1);
    EXPECT_EQ(*s.bitmap().pixelAt(5, 2), 1);
    for (int y = 2; y < 10; ++y)
        EXPECT_EQ(inkOnRow(s.bitmap(), y), 1) << y;
    clrScreen(0);
    // Through a corner.
    putLine(-1, -1, 20, 20, 1);
    for (int k = 2; k < 10; ++k)
        EXPECT_EQ(*s.bitmap().pixelAt(k, k), 1) << k;
    // Right to left and bottom to top enter on the right and bottom edges.
    clrScreen(0);
    putLine(30, 5, -30, 5, 1);
    putLine(4, 30, 3, -30, 2);
    EXPECT_EQ(inkOnRow(s.bitmap(), 5), 8);
    EXPECT_EQ(inkOnRow(s.bitmap(), 9), 1);
}

TEST(Lines, LineToMovesThePenEvenWhenNothingIsDrawn)
{
    ScreenSetup s(4, 4);
    const unsigned char savedColour = defaultColor;
    defaultColor = 7;
    currentXPos = 0;
    currentYPos = 0;
    putLineTo(3, 0);
    putLineTo(50, 60);
    EXPECT_EQ(currentXPos, 50);
    EXPECT_EQ(currentYPos, 60);
    EXPECT_EQ(picture(s.bitmap()).substr(0, 5), "7777\n");
    currentXPos = currentYPos = 0;
    defaultColor = savedColour;
}

// Draws random figures into a region with an origin and checks that every
// pixel outside the region keeps its value.
TEST(Lines, NothingIsWrittenOutsideTheRegion)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(-70, 70), small(-3, 30), colour(1, 255);
    ScreenSetup s(40, 30);
    for (int round = 0; round < 400; ++round) {
        const int l = 3 + round % 9, t = 2 + round % 7, rr = 20 + round % 17, b = 14 + round % 13;
        s.setRegion(l, t, rr, b, round % 5 - 2, round % 3 - 1);
        clrScreen(0);
        for (int k = 0; k < 8; ++k) {
            const unsigned char c = static_cast<unsigned char>(colour(rng));
            switch (k % 4) {
            case 0: putLine(coord(rng), coord(rng), coord(rng), coord(rng), c); break;
            case 1: putBar(coord(rng) / 2, coord(rng) / 2, small(rng), small(rng), c); break;
            case 2: putRectangle(coord(rng) / 2, coord(rng) / 2, small(rng) - 10, small(rng) - 10, c); break;
            default: putBox(coord(rng) / 2, coord(rng) / 2, small(rng), small(rng), static_cast<unsigned char>(k % 5)); break;
            }
        }
        const Bitmap& bm = s.bitmap();
        for (int y = 0; y < bm.height; ++y) {
            for (int x = 0; x < bm.width; ++x) {
                if (x < l || x >= rr || y < t || y >= b) {
                    ASSERT_EQ(bm.pixels()[y * bm.width + x], 0) << "round " << round << " at " << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
