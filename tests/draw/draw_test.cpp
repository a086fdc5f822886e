// The clip region's arithmetic, and drawing properties checked against a
// second way of drawing the same figure. Pictures are in the .scene files.

#include <climits>
#include <random>

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "draw/smart_line.h"
#include "test_support.h"

namespace {

using zeltest::pixels;
using zeltest::ScreenSetup;
using V = ZelVector2;

ZelClipRgn region(int l, int t, int r, int b, int ox = 0, int oy = 0)
{
    return ZelClipRgn{l, t, r, b, ox, oy, {}};
}

TEST(ClipRgn, ClampMapAndContain)
{
    const ZelClipRgn r = region(5, 7, 50, 60, 10, 20);
    const std::pair<int, int> clampedX[] = {{0, 15}, {-11, 5}, {-10, 5}, {34, 49}, {35, 50}, {1000, 50}, {INT_MAX, 5}};
    for (auto [x, want] : clampedX)
        EXPECT_EQ(r.clampX(x), want) << x;
    EXPECT_EQ(r.clampY(0), 27);
    EXPECT_EQ(r.clampY(100), 60);
    EXPECT_EQ(r.clampY(-28), 7);
    const ZelClipRgn h = region(2, 3, 10, 9);
    EXPECT_TRUE(h.contains(2, 3) && h.contains(9, 8));
    EXPECT_FALSE(h.contains(10, 8) || h.contains(9, 9) || h.contains(1, 5) || h.contains(5, 2));
    // Mapping wraps by definition; the wrapped value lies left of the region.
    const ZelClipRgn far = region(INT_MAX - 1, 0, INT_MAX, 10, 5, 0);
    EXPECT_EQ(far.mapX(0), static_cast<int32_t>(static_cast<uint32_t>(INT_MAX) + 4u));
    EXPECT_EQ(far.clampX(INT_MAX), INT_MAX - 1);
}

TEST(ClipRgn, PointAtTruncatesTowardZeroAndDegenerateDirectionsGiveExtremes)
{
    const struct {
        V p, q;
        int at;
        bool onColumn;
        V want;
    } cases[] = {
        {{0, 0}, {3, 1}, 2, true, {2, 0}},   {{3, 1}, {0, 0}, 1, true, {1, 0}},
        {{0, 0}, {1, 3}, 2, false, {0, 2}},  {{0, 0}, {3, -2}, 2, true, {2, -1}},
        {{0, 0}, {49, 49}, 1, true, {1, 0}}, {{0, 0}, {49, 49}, 1, false, {0, 1}},  // divides first
        {{4, 0}, {4, 9}, 4, true, {4, INT_MAX}}, {{4, 9}, {4, 9}, 4, true, {4, INT_MAX}},
        {{4, 9}, {4, 0}, 4, true, {4, INT_MIN}}, {{0, 4}, {9, 4}, 4, false, {INT_MAX, 4}},
        {{9, 4}, {0, 4}, 4, false, {INT_MIN, 4}},
    };
    for (const auto& c : cases) {
        const V got = c.onColumn ? ZelVector2::pointAtX(c.p, c.q, c.at) : ZelVector2::pointAtY(c.p, c.q, c.at);
        EXPECT_EQ(got, c.want) << c.p.x << "," << c.p.y << " -> " << c.q.x << "," << c.q.y << " at " << c.at;
    }
}

TEST(ClipRgn, ClipLineCutsOnTheLastVisibleColumnAndRowAndTriesTheVerticalEdgeFirst)
{
    const ZelClipRgn r = region(0, 0, 10, 10);
    const struct {
        V a, b;
        bool visible;
        V p1, p2;
    } cases[] = {
        {{-10, 5}, {20, 5}, true, {0, 5}, {9, 5}},
        {{4, -3}, {4, 10}, true, {4, 0}, {4, 9}},
        {{10, 2}, {5, 2}, true, {9, 2}, {5, 2}},
        {{-4, -6}, {6, 4}, true, {2, 0}, {6, 4}},
        {{12, 11}, {0, 5}, true, {9, 9}, {0, 5}},
        {{14, -4}, {-4, 14}, true, {9, 1}, {1, 9}},
        {{-7, 2}, {23, 7}, true, ZelVector2::pointAtX({-7, 2}, {23, 7}, 0), ZelVector2::pointAtX({23, 7}, {-7, 2}, 9)},
        {{-5, 0}, {-1, 9}, false, {}, {}},
        {{0, 10}, {9, 20}, false, {}, {}},
        {{-5, 3}, {3, -5}, false, {}, {}},
        {{3, -5}, {-5, 3}, false, {}, {}},
        {{15, 8}, {8, 15}, false, {}, {}},
    };
    for (const auto& c : cases) {
        V p = c.a, q = c.b;
        ASSERT_EQ(r.clipLine(p, q), c.visible) << c.a.x << "," << c.a.y << " -> " << c.b.x << "," << c.b.y;
        if (c.visible) {
            EXPECT_EQ(p, c.p1);
            EXPECT_EQ(q, c.p2);
        }
    }
    // Inside segments only move by the region's edge and origin.
    V p{0, 0}, q{5, 6};
    ASSERT_TRUE(region(10, 20, 100, 100, 3, 4).clipLine(p, q));
    EXPECT_EQ(p, V(13, 24));
    EXPECT_EQ(q, V(18, 30));
}

TEST(ClipRgn, VisibleSegmentsLieInsideAndInsideSegmentsAreKept)
{
    std::mt19937 rng(1234);
    auto coord = [&] { return static_cast<int>(rng() % 121) - 60; };
    for (int i = 0; i < 20000; ++i) {
        const int l = coord() / 2, t = coord() / 2;
        const ZelClipRgn r = region(l, t, l + 1 + (coord() & 31), t + 1 + (coord() & 31), coord() / 4, coord() / 4);
        const V a{coord(), coord()}, b{coord(), coord()};
        V p = a, q = b;
        const bool visible = r.clipLine(p, q);
        ASSERT_TRUE(!visible || (r.contains(p.x, p.y) && r.contains(q.x, q.y))) << i;
        const V ma{r.mapX(a.x), r.mapY(a.y)}, mb{r.mapX(b.x), r.mapY(b.y)};
        if (r.contains(ma.x, ma.y) && r.contains(mb.x, mb.y)) {
            ASSERT_TRUE(visible && p == ma && q == mb) << i;
        }
    }
}

// XOR figures on a blank screen draw the solid twin's pixels; the smart line
// draws putLine's pixels and erases back to the picture it covered.
TEST(Figures, XorAndSmartLineMatchTheirSolidTwins)
{
    std::mt19937 rng(11);
    auto pick = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };
    ScreenSetup s(24, 20);
    ZelSmartLine line{HSimple<unsigned char>(), {0, 0}, {0, 0}, 0};
    for (int i = 0; i < 600; ++i) {
        s.setRegion(pick(0, 4), pick(0, 3), pick(18, 24), pick(15, 20), pick(-2, 2), pick(-2, 2));
        const int x = pick(-12, 30), y = pick(-12, 30), w = pick(-6, 20), h = pick(-6, 20);
        const auto solidAndXor = [&](auto solid, auto xorForm) {
            clrScreen(0);
            solid();
            const auto want = pixels(s.bitmap());
            clrScreen(0);
            xorForm();
            ASSERT_EQ(pixels(s.bitmap()), want) << i;
        };
        solidAndXor([&] { putRectangle(x, y, w, h, 77); }, [&] { putXorRectangle(x, y, w, h, 77); });
        solidAndXor([&] { putBar(x, y, w, h, 77); }, [&] { putXorBar(x, y, w, h, 77); });

        for (int k = 0; k < 24 * 20; ++k)
            s.bitmap().pixels()[k] = static_cast<unsigned char>(rng());
        const auto before = pixels(s.bitmap());
        const int x2 = i % 8 == 1 ? x : pick(-20, 50), y2 = i % 8 == 3 ? y : pick(-20, 50);
        putLine(x, y, x2, y2, 200);
        const auto want = pixels(s.bitmap());
        std::copy(before.begin(), before.end(), s.bitmap().pixels());
        line.draw(x, y, x2, y2, 200);
        ASSERT_EQ(pixels(s.bitmap()), want) << i;
        ASSERT_EQ(line.drawn, -1);
        line.erase();
        line.erase();  // a second erase changes nothing
        ASSERT_EQ(pixels(s.bitmap()), before) << i;
    }
    line.free();
    EXPECT_TRUE(line.buffer.isNull());
}

// The smart line's buffer: as long as the longest line, never shrinking,
// capped at the screen width, labelled.
TEST(Figures, SmartLineBufferGrowsToTheLongestLine)
{
    ScreenSetup s(16, 40);
    ZelSmartLine line{HSimple<unsigned char>(), {0, 0}, {0, 0}, 0};
    const struct {
        int x1, y1, x2, y2;
        unsigned size;
    } lines[] = {{2, 2, 2, 2, 1}, {0, 0, 5, 2, 6}, {0, 0, 1, 1, 6}, {3, 0, 3, 39, 16}};
    for (const auto& l : lines) {
        line.draw(l.x1, l.y1, l.x2, l.y2, 1);
        EXPECT_EQ(ZelMem::GetPtrSize(line.buffer.get()), l.size);
        line.erase();
    }
    EXPECT_STREQ(ZelMem::GetPtrData(line.buffer.get()), "ZelSmartLine buffer");
    line.free();
    EXPECT_EQ(line.drawn, 0);
}

}  // namespace
