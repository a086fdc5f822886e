// Edge tracers, the unclipped trace, the three fills and the clipped
// pipeline of the Screen.

#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "draw/poly.h"
#include "test_support.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;
using zeltest::picture;
using zeltest::ScreenSetup;

int inked(const Bitmap& b)
{
    int n = 0;
    for (int k = 0; k < b.width * b.height; ++k)
        n += b.pixels()[k] != 0;
    return n;
}

struct PolyTest : ::testing::Test {
    ScreenSetup screen{16, 16};
    unsigned char savedColour = defaultColor;
    void SetUp() override { defaultColor = 1; }
    void TearDown() override { defaultColor = savedColour; }
    Point* spans() { return polyBuffer.get(); }
    Point* intensities() { return gouraudBuffer.get(); }
    void window(int start, int stop)
    {
        polyStartIndex = start;
        polyStopIndex = stop;
    }
};

TEST_F(PolyTest, TracersRoundHalvesOutwardAndGouraudInward)
{
    window(0, 10);
    scanSide(0, 0, 3, 2, 1);
    scanSide(0, 0, 3, 2, 0);
    EXPECT_EQ(spans()[1].side[1], 2);
    EXPECT_EQ(spans()[1].side[0], 1);
    scanSideGouraud(0, 0, 0, 3, 2, 0, 1);
    scanSideGouraud(0, 0, 0, 3, 2, 0, 0);
    EXPECT_EQ(spans()[1].side[1], 1);
    EXPECT_EQ(spans()[1].side[0], 2);
}

TEST_F(PolyTest, VerticalEdgesOnlyTopDownAndTheWindowStillAdvances)
{
    window(0, 10);
    spans()[2].side[0] = -99;
    scanSide(4, 5, 4, 1, 0);
    EXPECT_EQ(spans()[2].side[0], -99);
    scanSide(4, 1, 4, 5, 0);
    EXPECT_EQ(spans()[2].side[0], 4);

    // Rows before the window are traced but not stored: entry 0 is row 3.
    window(3, 4);
    scanSide(0, 0, 8, 8, 1);
    EXPECT_EQ(spans()[0].side[1], 3);
    EXPECT_EQ(spans()[1].side[1], 4);
    scanSideGouraud(7, 0, 0, 7, 6, 6 << 16, 0);
    EXPECT_EQ(intensities()[0].side[0], 3 << 16);
    scanSideGouraud(7, 2, 4 << 16, 7, 2, 8 << 16, 0);  // one row: the mean
    window(2, 2);
    scanSideGouraud(7, 2, 4 << 16, 7, 2, 8 << 16, 0);
    EXPECT_EQ(intensities()[0].side[0], 6 << 16);
}

TEST_F(PolyTest, ScanPolyLeavesOutTheRightColumnAndBottomRow)
{
    PolyOf<4> cw{4, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}};
    scanPoly(cw.poly());
    fillPoly();
    EXPECT_EQ(inked(screen.bitmap()), 100);
    EXPECT_EQ(*screen.bitmap().pixelAt(9, 9), 1);
    EXPECT_EQ(*screen.bitmap().pixelAt(10, 9), 0);

    clrScreen(0);
    PolyOf<4> ccw{4, {{0, 10}, {10, 10}, {10, 0}, {0, 0}}};
    scanPoly(ccw.poly());
    fillPoly();
    EXPECT_EQ(inked(screen.bitmap()), 100);
}

TEST_F(PolyTest, DegeneratePolygonsDrawNothing)
{
    PolyOf<3> flat{3, {{1, 4}, {9, 4}, {5, 4}}};
    scanPoly(flat.poly());
    EXPECT_EQ(polyHeight, 0);
    PolyOf<1> dot{1, {{3, 3}}};
    scanPoly(dot.poly());
    fillPoly();
    EXPECT_EQ(inked(screen.bitmap()), 0);
}

TEST_F(PolyTest, ReversedSpanStopsTheFlatFill)
{
    polyMinY = 2;
    polyHeight = 3;
    spans()[0] = {{1, 4}};
    spans()[1] = {{5, 2}};
    spans()[2] = {{1, 4}};
    CaptureStdout();
    fillPoly();
    EXPECT_EQ(GetCapturedStdout(), "Wrong Direction.\n");
    EXPECT_EQ(inked(screen.bitmap()), 3);
}

TEST_F(PolyTest, GouraudRampIsBiasedByHalfAStep)
{
    // Equal ends of 5.0 over four pixels give 5.5, 5.375, 5.25, 5.125: offset
    // 5 everywhere, and only the first pixel has the half bit for the dither.
    polyMinY = 0;
    polyHeight = 2;
    defaultColor = 10;
    for (int r = 0; r < 2; ++r) {
        spans()[r] = {{4, 8}};
        intensities()[r] = {{5 << 16, 5 << 16}};
    }
    fillPolyGouraud();
    const unsigned char* row0 = screen.bitmap().pixelAt(0, 0);
    const unsigned char* row1 = screen.bitmap().pixelAt(0, 1);
    // Row 0 (R = 0) dithers on odd addresses, row 1 on even ones; the screen
    // buffer starts on an even address.
    ASSERT_EQ(reinterpret_cast<uintptr_t>(screen.bitmap().pixels()) & 1u, 0u);
    EXPECT_EQ(row0[4], 15);
    EXPECT_EQ(row1[4], 16);
    for (int x = 5; x < 8; ++x) {
        EXPECT_EQ(row0[x], 15);
        EXPECT_EQ(row1[x], 15);
    }
}

TEST_F(PolyTest, EnhancedDitherFollowsItsTable)
{
    // Two-pixel spans with a flat intensity: the first pixel has A = 0, the
    // second A = 1 (A is the column's parity against the span's left end).
    defaultColor = 100;
    polyMinY = 0;
    struct Case { int r; int fraction; int first; int second; };
    const Case cases[] = {
        {0, 0x0000, 100, 99},  {0, 0x2000, 100, 100}, {0, 0x8000, 100, 100}, {0, 0xA000, 100, 101},
        {1, 0x0000, 100, 100}, {1, 0x2000, 101, 100}, {1, 0x8000, 101, 100}, {1, 0xA000, 101, 100},
    };
    for (int left : {2, 5}) {
        for (const Case& c : cases) {
            clrScreen(0);
            polyHeight = c.r + 1;
            for (int r = 0; r <= c.r; ++r) {
                spans()[r] = {{left, left + 2}};
                // The fill starts half a unit up; the right end keeps the step 0.
                intensities()[r] = {{c.fraction - 0x8000, c.fraction}};
            }
            fillPolyGouraudEnh();
            const unsigned char* p = screen.bitmap().pixelAt(left, c.r);
            EXPECT_EQ(p[0], c.first) << left << " " << c.r << " " << c.fraction;
            EXPECT_EQ(p[1], c.second) << left << " " << c.r << " " << c.fraction;
        }
    }
}

TEST_F(PolyTest, ClippedSquareIncludesItsRightColumnAndBottomRow)
{
    PolyOf<4> cw{4, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}};
    putPolyClockwise(cw.poly());
    EXPECT_EQ(inked(screen.bitmap()), 121);
    EXPECT_EQ(polyHeight, 11);

    clrScreen(0);
    CaptureStdout();
    putPolyCounterClockwise(cw.poly());
    EXPECT_EQ(GetCapturedStdout(), "Wrong Direction.\n");
    EXPECT_EQ(inked(screen.bitmap()), 0);
}

TEST_F(PolyTest, ClipWindowsRowsAndClampsSpans)
{
    screen.setRegion(2, 3, 12, 9, 5, 3);
    // A triangle reaching above, below, left and right of the region.
    PolyOf<3> tri{3, {{-3, -10}, {12, 9}, {-9, 9}}};
    clipPolyClockwise(tri.poly());
    EXPECT_EQ(polyMinY, 3);
    EXPECT_EQ(polyMaxY, 8);
    EXPECT_EQ(polyHeight, 6);
    EXPECT_EQ(polyStartIndex, 0);
    EXPECT_EQ(polyStopIndex, 5);
    for (int r = 0; r < polyHeight; ++r) {
        EXPECT_GE(spans()[r].side[0], 2);
        EXPECT_LE(spans()[r].side[1], 12);
    }
    EXPECT_EQ(spans()[5].side[0], 2);   // past the left edge
    EXPECT_EQ(spans()[5].side[1], 12);  // past the right edge

    // Origin (5, 3): drawing (0, 0) is bitmap (7, 6).
    clrScreen(0);
    PolyOf<3> small{3, {{0, 0}, {1, 1}, {0, 1}}};
    putPolyClockwise(small.poly());
    EXPECT_EQ(*screen.bitmap().pixelAt(7, 6), 1);
    EXPECT_EQ(inked(screen.bitmap()), 3);

    // Wholly above or below: the empty result.
    PolyOf<3> below{3, {{0, 3}, {4, 8}, {0, 8}}};
    clipPolyClockwise(below.poly());
    EXPECT_EQ(polyHeight, 0);
    EXPECT_EQ(polyStopIndex, -1);
    PolyOf<3> lastRow{3, {{0, -10}, {4, 2}, {0, 2}}};
    clipPolyClockwise(lastRow.poly());
    EXPECT_EQ(polyMaxY, 8);
}

TEST_F(PolyTest, ClippedPolygonsNeverWriteOutsideTheRegion)
{
    std::mt19937 rng(9);
    std::uniform_int_distribution<int> coord(-30, 40);
    for (int i = 0; i < 1000; ++i) {
        const int l = i % 5, t = i % 4, r = 16 - i % 6, b = 16 - i % 3;
        screen.setRegion(l, t, r, b, i % 7 - 3, i % 5 - 2);
        clrScreen(0);
        // A clockwise triangle (interior to the right walking from the top).
        const int cx = coord(rng), cy = coord(rng), rad = 1 + i % 20;
        PolyOf<3> tri{3, {{cx, cy - rad}, {cx + rad, cy + rad}, {cx - rad, cy + rad}}};
        putPolyClockwise(tri.poly());
        const Bitmap& bm = screen.bitmap();
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                if (x < l || x >= r || y < t || y >= b) {
                    ASSERT_EQ(bm.pixels()[y * 16 + x], 0) << i;
                }
            }
        }
    }
}

}  // namespace
