// Power-of-two scale blits: sampling at double and half size, the counters,
// and every form against putImage of a turned, resampled copy over random
// regions.

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/blit.h"
#include "blit/scale.h"
#include "test_support.h"
#include "video/palette.h"

namespace {

using Owned = zeltest::TestBitmap;
using zeltest::picture;
using zeltest::pixels;
using zeltest::ScreenSetup;

using ScaleBlit = void (*)(int, int, HClass<Bitmap>, unsigned char);

struct Form {
    const char* name;
    ScaleBlit blit;
    int quarterTurns;  // clockwise
    bool map;  // turned map form: top-left corner at the position, no origin point
};

const Form forms[] = {
    {"Scale", bmpZoomImageScale, 0, false},
    {"Rot90", bmpZoomImageScaleRot90, 1, false},
    {"Rot180", bmpZoomImageScaleRot180, 2, false},
    {"Rot270", bmpZoomImageScaleRot270, 3, false},
    {"Map", bmpZoomImageScaleMap, 0, false},  // the plain blit under another name
    {"MapRot90", bmpZoomImageScaleMapRot90, 1, true},
    {"MapRot180", bmpZoomImageScaleMapRot180, 2, true},
    {"MapRot270", bmpZoomImageScaleMapRot270, 3, true},
};

// The pixels an axis of n source pixels yields at step 2^s: below s = 16
// every pixel repeated; above it every m-th pixel, counted from the first
// pixel or, for a far-aligned axis, down from pixel n - m.
std::vector<int> samples(int n, int s, bool far)
{
    std::vector<int> out;
    if (s <= 16) {
        for (int i = 0; i < n << (16 - s); ++i)
            out.push_back(i >> (16 - s));
        return out;
    }
    const int m = 1 << (s - 16);
    if (far && n < m)
        return out;
    for (int i = far ? n % m : 0; i < n; i += m)
        out.push_back(i);
    return out;
}

// The bitmap that the form draws 1:1 with putImage: src resampled for step
// 2^s and turned clockwise by the form's quarter turns, with the origin point
// scaled and turned (the map forms put the top-left corner at the position).
void expectedCopy(HClass<ZelBitmap> from, int s, const Form& f, Owned& out)
{
    const bool turnsAxes = f.quarterTurns % 2 == 1;
    const int sw = from->width, sh = from->height;
    // The map forms read a reversed axis from the far edge: rows for the
    // clockwise and half turns, columns for the half and anticlockwise turns.
    const auto cols = samples(sw, s, f.map && f.quarterTurns >= 2);
    const auto rows = samples(sh, s, f.map && (f.quarterTurns == 1 || f.quarterTurns == 2));
    const int w = static_cast<int>(cols.size()), h = static_cast<int>(rows.size());
    const int tw = turnsAxes ? h : w, th = turnsAxes ? w : h;
    out.h = ZelBitmap::Create(tw, th, 65535);
    const Bitmap& src = *from.get();  // after the allocation, which may move blocks
    Bitmap& t = *out.h.get();
    const int ox = f.map ? 0 : static_cast<int>(static_cast<int32_t>(static_cast<uint32_t>(src.originX) << 16) >> s);
    const int oy = f.map ? 0 : static_cast<int>(static_cast<int32_t>(static_cast<uint32_t>(src.originY) << 16) >> s);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned char v = src.pixels()[rows[y] * src.width + cols[x]];
            switch (f.quarterTurns) {
            case 0: *t.pixelAt(x, y) = v; break;
            case 1: *t.pixelAt(h - 1 - y, x) = v; break;
            case 2: *t.pixelAt(w - 1 - x, h - 1 - y) = v; break;
            default: *t.pixelAt(y, w - 1 - x) = v; break;
            }
        }
    }
    const int turnedX[] = {ox, h - 1 - oy, w - 1 - ox, oy};
    const int turnedY[] = {oy, ox, h - 1 - oy, w - 1 - ox};
    t.originX = f.map ? 0 : turnedX[f.quarterTurns];
    t.originY = f.map ? 0 : turnedY[f.quarterTurns];
}

class Scale : public ::testing::Test {
protected:
    void SetUp() override { videoStatistics = {}; }
};

TEST_F(Scale, DoubleSizeMakesBlocks)
{
    ScreenSetup s(4, 4);
    Owned quad(2, 2, "12\n34\n");
    bmpZoomImageScaleMapRot90(0, 0, quad.h, 15);
    EXPECT_EQ(picture(s.bitmap()), "3311\n3311\n4422\n4422\n");
    clrScreen(0);
    bmpZoomImageScaleRot180(3, 3, quad.h, 15);  // origin (0, 0): extends left and up
    EXPECT_EQ(picture(s.bitmap()), "4433\n4433\n2211\n2211\n");
}

// At s = 17 the near-aligned axes take rows and columns 0 and 2; a reversed
// axis starts at 3.0 - 2.0 = 1.0 and takes only 1.
TEST_F(Scale, HalfSizeSamplesFromTheAlignedEdge)
{
    ScreenSetup t(5, 2);
    Owned nine(3, 3, "123\n456\n789\n");
    const std::pair<ScaleBlit, const char*> cases[] = {
        {bmpZoomImageScale, "13...\n79...\n"},       {bmpZoomImageScaleMapRot180, "5....\n.....\n"},
        {bmpZoomImageScaleMapRot90, "4....\n6....\n"}, {bmpZoomImageScaleMapRot270, "28...\n.....\n"},
    };
    for (const auto& [blit, expected] : cases) {
        clrScreen(0);
        blit(0, 0, nine.h, 17);
        EXPECT_EQ(picture(t.bitmap()), expected);
    }
    clrScreen(0);
    bmpZoomImageScaleRot90(4, 0, nine.h, 17);
    EXPECT_EQ(picture(t.bitmap()), "...71\n...93\n");
}

// At 1:1 the plain form is putImage's work, not counted; null bitmaps draw
// and count nothing in any form.
TEST_F(Scale, OneToOneShortcutAndNullBitmaps)
{
    ScreenSetup s(12, 10, 3);
    Owned sprite(4, 3, "1.23\n4567\n.89.\n");
    bmpZoomImageScale(1, 1, sprite.h, 16);
    EXPECT_EQ(videoStatistics.scaleCalls, 0u);
    clrScreen(3);
    for (const Form& f : forms)
        for (HClass<Bitmap> none : {HClass<Bitmap>(), HClass<Bitmap>(0)})
            for (unsigned char sc : {15, 16, 17})
                f.blit(0, 0, none, sc);
    EXPECT_EQ(pixels(s.bitmap()), std::vector<unsigned char>(12 * 10, 3));
    EXPECT_EQ(videoStatistics.scaleCalls, 0u);
}

// scaleCalls counts every call that reaches the placement; scaleMuls every
// drawn line of a bitmap whose row offset is not a shift.
TEST_F(Scale, CallsAndMultipliedLines)
{
    ScreenSetup s(200, 200);
    Owned pow2(64, 3), odd(60, 3);
    std::memset(pow2->pixels(), 1, 64 * 3);
    std::memset(odd->pixels(), 1, 60 * 3);
    for (const Form& f : forms) {
        videoStatistics = {};
        f.blit(100, 100, pow2.h, 15);
        EXPECT_EQ(videoStatistics.scaleMuls, 0u) << f.name;
        f.blit(100, 100, odd.h, 15);  // 3 rows at double size
        EXPECT_EQ(videoStatistics.scaleMuls, 6u) << f.name;
        EXPECT_EQ(videoStatistics.scaleCalls, 2u) << f.name;
    }

    videoStatistics = {};
    s.setRegion(0, 0, 200, 103);
    bmpZoomImageScale(100, 100, odd.h, 15);  // rows 100 to 102 of 100 to 105
    EXPECT_EQ(videoStatistics.scaleMuls, 3u);
    s.setRegion(0, 0, 98, 200);
    bmpZoomImageScaleRot90(100, 100, odd.h, 15);  // columns 97 to 95 of 100 to 95
    EXPECT_EQ(videoStatistics.scaleMuls, 6u);

    // Wholly outside: counted as a call, nothing drawn or multiplied. A
    // quarter-turned footprint below the region still walks its columns.
    clrScreen(0);
    videoStatistics = {};
    s.setRegion(10, 10, 50, 50);
    bmpZoomImageScale(60, 20, odd.h, 17);
    bmpZoomImageScaleMapRot270(-40, 20, odd.h, 17);
    EXPECT_EQ(videoStatistics.scaleCalls, 2u);
    EXPECT_EQ(videoStatistics.scaleMuls, 0u);
    bmpZoomImageScaleRot270(20, 100, odd.h, 17);
    EXPECT_EQ(videoStatistics.scaleMuls, 2u);
    EXPECT_EQ(pixels(s.bitmap()), std::vector<unsigned char>(200 * 200, 0));
}

// Every form equals putImage of the turned, resampled copy, on a filled
// screen through regions with an offset and an origin; equal whole buffers
// also show that nothing outside the region changed. The map form of the
// unturned blit must match the plain one, counters included.
TEST_F(Scale, EveryFormIsATurnedResampledCopy)
{
    std::mt19937 rng(52);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    ScreenSetup s(40, 36);
    for (int i = 0; i < 1200; ++i) {
        const int w = 1 + pick(9), h = 1 + pick(7);
        Owned src(w, h);
        for (int k = 0; k < w * h; ++k)
            src->pixels()[k] = static_cast<unsigned char>(rng() % 3 ? 1 + rng() % 35 : 0);
        src->originX = pick(w + 4) - 2;
        src->originY = pick(h + 4) - 2;
        const int sc = 14 + pick(5);
        const Form& f = forms[i % 8];
        Owned copy;
        expectedCopy(src.h, sc, f, copy);
        s.setRegion(pick(12), pick(12), 26 + pick(15), 22 + pick(15), pick(9) - 4, pick(9) - 4);
        const int x = pick(56) - 8, y = pick(52) - 8;

        clrScreen(255);
        const uint32_t before = videoStatistics.scaleMuls;
        f.blit(x, y, src.h, static_cast<unsigned char>(sc));
        const std::string drawn = picture(s.bitmap());
        const uint32_t muls = videoStatistics.scaleMuls - before;
        clrScreen(255);
        putImage(x, y, copy.h, 0);
        ASSERT_EQ(drawn, picture(s.bitmap())) << f.name << " case " << i << " s " << sc;
        if (f.blit == bmpZoomImageScaleMap) {
            clrScreen(255);
            bmpZoomImageScale(x, y, src.h, static_cast<unsigned char>(sc));
            ASSERT_EQ(drawn, picture(s.bitmap()));
            ASSERT_EQ(videoStatistics.scaleMuls - before, 2 * muls);
        }
    }
}

// Far-off placements, wild origins and every scale: no write leaves the
// region and nothing reads outside the bitmap (checked by the sanitizers).
TEST_F(Scale, ExtremePlacementsStayInTheRegion)
{
    std::mt19937 rng(7);
    ScreenSetup s(24, 20, 9);
    s.setRegion(5, 4, 19, 15, 2, -3);
    Owned src(7, 5);
    std::memset(src->pixels(), 1, 35);
    const uint32_t far[] = {0x80000000u, 0xfffeee90u, 0xfffffc18u, 0, 5, 1000, 70000, 0x7fffffffu};
    auto wild = [&] { return static_cast<int>(far[rng() % 8] + rng() % 20); };  // wraps near the ends
    for (int i = 0; i < 3000; ++i) {
        src->originX = wild();
        src->originY = wild();
        forms[i % 8].blit(wild(), wild(), src.h, static_cast<unsigned char>(rng() % 31));
    }
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 24; ++x)
            if (x < 5 || x >= 19 || y < 4 || y >= 15) {
                ASSERT_EQ(*s.bitmap().pixelAt(x, y), 9) << "outside the region at " << x << "," << y;
            }
}

}  // namespace
