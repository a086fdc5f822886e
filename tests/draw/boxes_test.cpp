// Bars, rectangle outlines and the four bevelled box styles.

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "test_support.h"

namespace {

using zeltest::picture;
using zeltest::ScreenSetup;

// Box colours 24 (face), 31 (light) and 8 (shadow) print as 'o', 'v' and '8'.
TEST(Bars, ClampedAndEmptySizes)
{
    ScreenSetup s(6, 4);
    putBar(4, 2, 10, 10, 1);
    putBar(-2, -2, 3, 3, 2);
    putBar(1, 1, 0, 3, 3);
    putBar(1, 1, 3, -1, 3);
    EXPECT_EQ(picture(s.bitmap()), "2.....\n......\n....11\n....11\n");
}

TEST(Rectangles, NegativeSizesMoveTheFigure)
{
    ScreenSetup s(12, 14);
    putRectangle(10, 10, -3, 2, 1);
    EXPECT_EQ(picture(s.bitmap()).substr(10 * 13, 26), ".......111..\n.......111..\n");
    clrScreen(0);
    putRectangle(1, 1, 4, 1, 1);   // height 1: top row only
    putRectangle(1, 3, 4, 2, 2);   // height 2: the two rows
    putRectangle(7, 1, 1, 5, 3);   // width 1: the column once
    putRectangle(7, 8, 4, 4, 4);
    EXPECT_EQ(picture(s.bitmap()),
              "............\n"
              ".1111..3....\n"
              ".......3....\n"
              ".2222..3....\n"
              ".2222..3....\n"
              ".......3....\n"
              "............\n"
              "............\n"
              ".......4444.\n"
              ".......4..4.\n"
              ".......4..4.\n"
              ".......4444.\n"
              "............\n"
              "............\n");
}

TEST(Boxes, EachStyleHasItsBevelAndCorners)
{
    ScreenSetup s(6, 6);
    putBox(0, 0, 6, 6, 0);
    EXPECT_EQ(picture(s.bitmap()),
              "vvvvv8\n"
              "voooo8\n"
              "voooo8\n"
              "voooo8\n"
              "voooo8\n"
              "888888\n");
    putBox(0, 0, 6, 6, 1);
    EXPECT_EQ(picture(s.bitmap()),
              "888888\n"
              "8oooov\n"
              "8oooov\n"
              "8oooov\n"
              "8oooov\n"
              "8vvvvv\n");
    putBox(0, 0, 6, 6, 2);
    EXPECT_EQ(picture(s.bitmap()),
              "vvvvv8\n"
              "vvvv88\n"
              "vvoo88\n"
              "vvoo88\n"
              "v88888\n"
              "888888\n");
    putBox(0, 0, 6, 6, 3);
    EXPECT_EQ(picture(s.bitmap()),
              "888888\n"
              "8ooooo\n"
              "8ooooo\n"
              "8ooooo\n"
              "8ooooo\n"
              "8ooooo\n");
    clrScreen(0);
    putBox(0, 0, 6, 6, 4);
    EXPECT_EQ(picture(s.bitmap()), "......\n......\n......\n......\n......\n......\n");
}

TEST(Boxes, SmallRaisedBoxHasATwoByTwoFace)
{
    ScreenSetup s(4, 4);
    putBox(0, 0, 4, 4, 0);
    EXPECT_EQ(picture(s.bitmap()), "vvv8\nvoo8\nvoo8\n8888\n");
}

}  // namespace
