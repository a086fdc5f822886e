// Drawing properties checked against a second way of drawing the same
// figure, over random cases. Pictures and the clip region's arithmetic are
// in the .scene files.

#include <random>

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "draw/smart_line.h"
#include "test_support.h"

namespace {

using zeltest::pixels;
using zeltest::ScreenSetup;
using V = ZelVector2;

TEST(ClipRgn, VisibleSegmentsLieInsideAndInsideSegmentsAreKept)
{
    std::mt19937 rng(1234);
    auto coord = [&] { return static_cast<int>(rng() % 121) - 60; };
    for (int i = 0; i < 20000; ++i) {
        const int l = coord() / 2, t = coord() / 2;
        const ZelClipRgn r{l, t, l + 1 + (coord() & 31), t + 1 + (coord() & 31), coord() / 4, coord() / 4, {}};
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

}  // namespace
