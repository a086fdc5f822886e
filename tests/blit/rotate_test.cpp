// Free rotation: the unturned 1:1 case against putImage, quarter turns
// against the inverse mapping, scaling, counting, and clipping as a property.

#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/blit.h"
#include "blit/rotate.h"
#include "engine/zelmath/zelmath.h"
#include "platform/cpu_features.h"
#include "test_support.h"
#include "video/palette.h"

namespace {

using Owned = zeltest::TestBitmap;
using zeltest::picture;
using zeltest::pixels;
using zeltest::ScreenSetup;

// Pixels 1..250 with about one in four transparent.
void randomPixels(Bitmap& b, std::mt19937& rng)
{
    for (int k = 0; k < b.width * b.height; ++k)
        b.pixels()[k] = rng() % 4 == 0 ? 0 : static_cast<unsigned char>(1 + rng() % 250);
}

class Rotate : public ::testing::Test {
protected:
    void SetUp() override { videoStatistics = {}; }
};

TEST_F(Rotate, UnturnedOneToOneDrawsWhatPutImageDraws)
{
    struct Case {
        int w, h, ox, oy, x, y;
    };
    std::mt19937 rng(5);
    ScreenSetup s(40, 30);
    for (const Case k : {Case{5, 3, 0, 0, 10, 10}, Case{8, 8, 3, 5, 2, 1}, Case{7, 4, 6, 3, 38, 28},
                         Case{16, 2, -2, 1, -3, 15}, Case{1, 1, 0, 0, 0, 0}, Case{9, 12, 4, 6, 20, -2}}) {
        Owned b(k.w, k.h);
        randomPixels(*b.h.get(), rng);
        b->originX = k.ox;
        b->originY = k.oy;
        // Once on the whole screen, once in a smaller region with its own origin.
        for (const bool cut : {false, true}) {
            if (cut)
                s.setRegion(3, 2, 35, 27, 4, -1);
            clrScreen(9);
            putImage(k.x, k.y, b.h, 0);
            const auto expected = pixels(s.bitmap());
            clrScreen(9);
            bmpRotImage(k.x, k.y, b.h, 0, 65536);
            EXPECT_EQ(pixels(s.bitmap()), expected) << k.w << "x" << k.h << (cut ? " cut" : "");
            s.setRegion(0, 0, 40, 30);
        }
    }
}

// Every quarter turn: the pixel at (dx, dy) from the origin's screen point
// shows source (ox + dx cos - dy sin, oy + dx sin + dy cos), angle 16384
// having sine +1 (the picture turns anticlockwise on the screen); all else is
// untouched, including what the extra corner edge covers.
TEST_F(Rotate, EveryQuarterTurnFollowsTheInverseMapping)
{
    std::mt19937 rng(21);
    ScreenSetup s(24, 20);
    Owned b(6, 4);
    randomPixels(*b.h.get(), rng);
    b->originX = 2;
    b->originY = 1;
    const int cosOf[4] = {1, 0, -1, 0}, sinOf[4] = {0, 1, 0, -1};
    for (int q = 0; q < 4; ++q) {
        clrScreen(255);
        bmpRotImage(10, 9, b.h, static_cast<unsigned>(q * ZelAngleQuarterTurn), 65536);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 24; ++x) {
                const int dx = x - 10, dy = y - 9;
                const int u = 2 + dx * cosOf[q] - dy * sinOf[q], v = 1 + dx * sinOf[q] + dy * cosOf[q];
                int expected = 255;
                if (u >= 0 && u < 6 && v >= 0 && v < 4 && *b->pixelAt(u, v) != 0)
                    expected = *b->pixelAt(u, v);
                ASSERT_EQ(*s.bitmap().pixelAt(x, y), expected) << "quarter " << q << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(Rotate, ZoomHalvesAndDoublesAboutTheOriginPoint)
{
    ScreenSetup s(6, 5);
    Owned big(4, 4, "1234\n5678\n9abc\ndefg\n");
    bmpRotImage(1, 1, big.h, 0, 2 * 65536);
    EXPECT_EQ(picture(s.bitmap()), "......\n.13...\n.9b...\n......\n......\n");

    clrScreen(0);
    Owned small(2, 2, "12\n34\n");
    small->originX = small->originY = 1;
    bmpRotImage(3, 2, small.h, 0, 32768);
    EXPECT_EQ(picture(s.bitmap()), ".1122.\n.1122.\n.3344.\n.3344.\n......\n");
}

// Two multiplications for the start, two per span, and one per pixel of every
// span (the extra edge column included) when rows are found by multiplying.
TEST_F(Rotate, CountsCallsAndMultiplications)
{
    ScreenSetup s(20, 20);
    Owned pow2(8, 3), odd(5, 3);
    std::memset(pow2->pixels(), 1, 8 * 3);
    std::memset(odd->pixels(), 1, 5 * 3);

    using Counts = std::pair<uint32_t, uint32_t>;  // calls, multiplications
    auto counted = [] { return Counts(videoStatistics.rotCalls, videoStatistics.rotMuls); };
    bmpRotImage(2, 2, pow2.h, 0, 65536);  // 4 spans of 9 pixels
    EXPECT_EQ(counted(), Counts(1, 2 + 2 * 4));
    bmpRotImage(2, 8, odd.h, 0, 65536);  // 4 spans of 6 pixels
    EXPECT_EQ(counted(), Counts(2, 10 + 2 + 2 * 4 + 4 * 6));
    // Wholly outside: the call and the start still count.
    bmpRotImage(100, 100, odd.h, 5000, 65536);
    EXPECT_EQ(counted(), Counts(3, 44 + 2));

    // zoom 0 is outside the contract: the call counts, nothing is drawn. A
    // null handle draws nothing and counts nothing.
    const auto before = pixels(s.bitmap());
    bmpRotImage(10, 10, odd.h, 0, 0);
    bmpRotImage(10, 10, HClass<Bitmap>(), 0, 65536);
    EXPECT_EQ(counted(), Counts(4, 46));
    const ZelVideoStatistics& end = videoStatistics;
    EXPECT_EQ(end.zoomCalls + end.zoomMuls + end.scaleCalls + end.scaleMuls + end.fillCalls + end.fillMuls, 0u);
    EXPECT_EQ(pixels(s.bitmap()), before);
}

// For random turns, zooms, bitmaps and regions (with origins): drawing in a
// region gives the unclipped picture inside it, samples unshifted, and leaves
// every pixel outside it alone. Regions are at least one pixel: the polygon
// clip puts an empty region's rows on its top - 1.
TEST_F(Rotate, RegionCutsThePictureWithoutShiftingIt)
{
    std::mt19937 rng(77);
    const int w = 64, h = 48;
    ScreenSetup s(w, h);
    for (int round = 0; round < 150; ++round) {
        Owned b(1 + static_cast<int>(rng() % 20), 1 + static_cast<int>(rng() % 20));
        randomPixels(*b.h.get(), rng);
        b->originX = static_cast<int>(rng() % 26) - 3;
        b->originY = static_cast<int>(rng() % 26) - 3;
        const unsigned angle = static_cast<unsigned>(rng());
        const int zoom = 20000 + static_cast<int>(rng() % 180000);
        const int x = static_cast<int>(rng() % 84) - 10, y = static_cast<int>(rng() % 68) - 10;

        s.setRegion(0, 0, w, h);
        clrScreen(255);
        bmpRotImage(x, y, b.h, angle, zoom);
        const auto whole = pixels(s.bitmap());

        // A region reaching past the screen (outside the contract) only loses
        // what lies off the screen.
        s.setRegion(-9, -7, w + 5, h + 3, 9, 7);
        clrScreen(255);
        bmpRotImage(x, y, b.h, angle, zoom);
        ASSERT_EQ(pixels(s.bitmap()), whole) << "round " << round;

        const int left = static_cast<int>(rng() % w), top = static_cast<int>(rng() % h);
        const int right = left + 1 + static_cast<int>(rng() % (w - left));
        const int bottom = top + 1 + static_cast<int>(rng() % (h - top));
        const int ox = static_cast<int>(rng() % 41) - 20, oy = static_cast<int>(rng() % 41) - 20;
        s.setRegion(left, top, right, bottom, ox, oy);
        clrScreen(255);
        bmpRotImage(x - left - ox, y - top - oy, b.h, angle, zoom);
        for (int py = 0; py < h; ++py) {
            for (int px = 0; px < w; ++px) {
                const bool inside = px >= left && px < right && py >= top && py < bottom;
                ASSERT_EQ(*s.bitmap().pixelAt(px, py), inside ? whole[py * w + px] : 255)
                    << "round " << round << " at " << px << "," << py;
            }
        }
    }
}

}  // namespace

namespace {

// Spans drawn eight pixels at a time with AVX2 must equal the plain walk:
// any angle and zoom, widths that are and are not powers of two, regions with
// origins, and the counters.
TEST_F(Rotate, EveryPathDrawsThePixelsOfThePlainWalk)
{
    const CpuPath widest = widestCpuPath();
    std::mt19937 rng(1206);
    ScreenSetup s(97, 71);
    for (int i = 0; i < 300; ++i) {
        const int w = i % 3 == 0 ? 1 << (rng() % 7) : 1 + static_cast<int>(rng() % 70);
        const int h = 1 + static_cast<int>(rng() % 60);
        Owned src(w, h);
        randomPixels(*src.h.get(), rng);
        src->originX = static_cast<int>(rng() % (2 * w)) - w / 2;
        src->originY = static_cast<int>(rng() % (2 * h)) - h / 2;
        s.setRegion(static_cast<int>(rng() % 15), static_cast<int>(rng() % 15), 50 + static_cast<int>(rng() % 48),
                    40 + static_cast<int>(rng() % 32), static_cast<int>(rng() % 11) - 5,
                    static_cast<int>(rng() % 11) - 5);
        const int x = static_cast<int>(rng() % 130) - 15, y = static_cast<int>(rng() % 100) - 15;
        const unsigned angle = static_cast<unsigned>(rng());
        const int zoom = 8000 + static_cast<int>(rng() % 200000);

        std::vector<unsigned char> plain;
        ZelVideoStatistics plainStats{};
        for (CpuPath path : {CpuPath::Plain, CpuPath::Avx2}) {
            if (path > widest)
                continue;
            ASSERT_TRUE(selectCpuPath(path));
            clrScreen(3);
            videoStatistics = {};
            bmpRotImage(x, y, src.h, angle, zoom);
            if (path == CpuPath::Plain) {
                plain = pixels(s.bitmap());
                plainStats = videoStatistics;
                continue;
            }
            ASSERT_EQ(pixels(s.bitmap()), plain) << i;
            EXPECT_EQ(std::memcmp(&plainStats, &videoStatistics, sizeof plainStats), 0) << i;
        }
    }
    selectCpuPath(widest);
}

}  // namespace
