// Zoom blits: sampling, placement of the (mirrored) origin point, cuts on
// every edge, the counters, and the mirrored forms against mirrored copies.

#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/blit.h"
#include "blit/zoom.h"
#include "platform/cpu_features.h"
#include "test_support.h"
#include "video/palette.h"

namespace {

using zeltest::paint;
using zeltest::picture;
using zeltest::ScreenSetup;

using Owned = zeltest::TestBitmap;
using zeltest::pixels;

ZelVideoStatistics stats()
{
    ZelVideoStatistics s;
    ZelVideo::getStat(&s);
    return s;
}

class Zoom : public ::testing::Test {
protected:
    void SetUp() override { std::memset(&videoStatistics, 0, sizeof videoStatistics); }
};

TEST_F(Zoom, OneToOneIsPutImageAndCountsNothing)
{
    ScreenSetup s(8, 6, 4);
    Owned sprite(3, 2, "1.2\n345\n");
    sprite->originX = 1;
    bmpZoomImage(2, 2, sprite.h, 65536);
    const auto zoomed = pixels(s.bitmap());
    EXPECT_EQ(stats().zoomCalls, 0u);
    clrScreen(4);
    putImage(2, 2, sprite.h, 0);
    EXPECT_EQ(pixels(s.bitmap()), zoomed);

    clrScreen(0);
    // The mirrored forms draw and count; the mirrored origin pixel stays on (2, 2).
    bmpZoomInvImage(2, 2, sprite.h, 65536);
    EXPECT_EQ(picture(s.bitmap()).substr(2 * 9, 18), ".2.1....\n.543....\n");
    EXPECT_EQ(stats().zoomCalls, 1u);
}

TEST_F(Zoom, DoublingMakesBlocksAndHalvingSamplesEverySecondPixel)
{
    ScreenSetup s(8, 4);
    Owned sprite(4, 2, "1234\n5678\n");
    bmpZoomImage(0, 0, sprite.h, 32768);
    EXPECT_EQ(picture(s.bitmap()), "11223344\n11223344\n55667788\n55667788\n");
    clrScreen(0);
    Owned big(4, 4, "1234\n5678\n9abc\ndefg\n");
    bmpZoomImage(0, 0, big.h, 2 * 65536);
    EXPECT_EQ(picture(s.bitmap()), "13......\n9b......\n........\n........\n");
    // Rows: one multiplication each, no cuts.
    EXPECT_EQ(stats().zoomMuls, 4u + 2u);
}

TEST_F(Zoom, ScaledOriginPointLandsOnThePosition)
{
    ScreenSetup s(128, 64);
    Owned sprite(16, 8);
    ZelBitmap* sp = sprite.h.get();
    ASSERT_NE(sp, nullptr);
    std::memset(sp->pixels(), 7, 16 * 8);
    sp->originX = 8;
    sp->originY = 4;
    bmpZoomImage(100, 50, sprite.h, 32768);
    EXPECT_EQ(*s.bitmap().pixelAt(84, 42), 7);
    EXPECT_EQ(*s.bitmap().pixelAt(83, 42), 0);
    EXPECT_EQ(*s.bitmap().pixelAt(84, 41), 0);
    EXPECT_EQ(*s.bitmap().pixelAt(84 + 31, 42 + 15), 7);
    EXPECT_EQ(*s.bitmap().pixelAt(84 + 32, 42 + 15), 0);
}

TEST_F(Zoom, LeftAndTopCutsSampleAsTheUncutBlitWould)
{
    std::mt19937 rng(8);
    Owned sprite(11, 7);
    for (int k = 0; k < 77; ++k)
        sprite->pixels()[k] = static_cast<unsigned char>(1 + rng() % 250);
    ScreenSetup s(40, 30);
    for (unsigned zoom : {23000u, 32768u, 47000u, 70000u, 131072u}) {
        clrScreen(0);
        bmpZoomImage(9, 8, sprite.h, zoom);
        const auto whole = pixels(s.bitmap());
        clrScreen(0);
        s.setRegion(12, 11, 40, 30, -12, -11);  // same drawing coordinates, cut left and top
        bmpZoomImage(9, 8, sprite.h, zoom);
        s.setRegion(0, 0, 40, 30);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                ASSERT_EQ(s.bitmap().pixels()[y * 40 + x], (x >= 12 && y >= 11) ? whole[y * 40 + x] : 0)
                    << zoom << " at " << x << "," << y;
            }
        }
    }
}

TEST_F(Zoom, BlitsAboveOrBelowTheRegionStillCount)
{
    ScreenSetup s(16, 16);
    s.setRegion(0, 4, 16, 8);
    Owned sprite(4, 2, "1111\n1111\n");
    bmpZoomImage(2, -20, sprite.h, 32768);  // above: cut at the top, no rows
    EXPECT_EQ(stats().zoomCalls, 1u);
    EXPECT_EQ(stats().zoomMuls, 1u);
    bmpZoomImage(2, 10, sprite.h, 32768);  // below
    EXPECT_EQ(stats().zoomCalls, 2u);
    EXPECT_EQ(stats().zoomMuls, 1u);
    bmpZoomImage(40, 0, sprite.h, 32768);  // right of the region: rejected, not counted
    EXPECT_EQ(stats().zoomCalls, 2u);
    for (int k = 0; k < 256; ++k)
        ASSERT_EQ(s.bitmap().pixels()[k], 0);
}

TEST_F(Zoom, MirroredOriginsAndTheRightCutCounting)
{
    ScreenSetup s(8, 6);
    Owned sprite(3, 2, "123\n456\n");
    sprite->originY = 1;  // bottom-left pixel
    bmpZoomFlipImage(1, 3, sprite.h, 65536);  // the origin's row, 456, on row 3
    EXPECT_EQ(picture(s.bitmap()).substr(3 * 9, 18), ".456....\n.123....\n");

    Owned dot(1, 1, "9\n");
    clrScreen(0);
    bmpZoomInvFlipImage(4, 4, dot.h, 65536);
    const auto mirrored = pixels(s.bitmap());
    clrScreen(0);
    bmpZoomImage(4, 4, dot.h, 65536);
    EXPECT_EQ(pixels(s.bitmap()), mirrored);

    // Cut at the top (origin row 1 on row 0) and at the right edge: one
    // multiplication for each cut and one for the single row drawn.
    std::memset(&videoStatistics, 0, sizeof videoStatistics);
    bmpZoomInvImage(8, 0, sprite.h, 65536);
    EXPECT_EQ(stats().zoomMuls, 3u);
    EXPECT_EQ(picture(s.bitmap()).substr(0, 9), "......65\n");
}

// Mirrored forms equal the plain form of a mirrored copy whose origin point
// is mirrored with it.
TEST_F(Zoom, MirroredFormsMatchMirroredCopies)
{
    std::mt19937 rng(12);
    ScreenSetup s(48, 40);
    for (int i = 0; i < 300; ++i) {
        const int w = 1 + i % 9, h = 1 + i % 7;
        Owned src(w, h), copy(w, h);
        for (int k = 0; k < w * h; ++k)
            src->pixels()[k] = static_cast<unsigned char>(rng() % 4 ? rng() % 256 : 0);
        src->originX = static_cast<int>(rng() % w);
        src->originY = static_cast<int>(rng() % h);
        const int mode = i % 3;  // 0 Inv, 1 Flip, 2 InvFlip
        const bool mx = mode != 1, my = mode != 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                *copy->pixelAt(mx ? w - 1 - x : x, my ? h - 1 - y : y) = *src->pixelAt(x, y);
        copy->originX = mx ? w - 1 - src->originX : src->originX;
        copy->originY = my ? h - 1 - src->originY : src->originY;
        s.setRegion(static_cast<int>(rng() % 10), static_cast<int>(rng() % 10), 38 + static_cast<int>(rng() % 10),
                    30 + static_cast<int>(rng() % 10), static_cast<int>(rng() % 5), static_cast<int>(rng() % 5));
        const int x = static_cast<int>(rng() % 60) - 10, y = static_cast<int>(rng() % 50) - 10;
        const unsigned zoom = 12000 + static_cast<unsigned>(rng() % 150000);
        clrScreen(0);
        (mode == 0 ? bmpZoomInvImage : mode == 1 ? bmpZoomFlipImage : bmpZoomInvFlipImage)(x, y, src.h, zoom);
        const auto mirrored = pixels(s.bitmap());
        clrScreen(0);
        bmpZoomImage(x, y, copy.h, zoom);
        ASSERT_EQ(pixels(s.bitmap()), mirrored) << i;
    }
}

// The counted walk of every row must sample exactly what the plain walk
// does, pixels and counters alike, in every form and at any step.
TEST_F(Zoom, CountedRowsSampleAsThePlainWalk)
{
    using Form = void (*)(int, int, HClass<Bitmap>, unsigned int);
    const Form forms[] = {bmpZoomImage, bmpZoomInvImage, bmpZoomFlipImage, bmpZoomInvFlipImage};
    std::mt19937 rng(1205);
    ScreenSetup s(53, 41);
    const CpuPath fast = widestCpuPath();
    for (int i = 0; i < 400; ++i) {
        const int w = 1 + static_cast<int>(rng() % 40), h = 1 + static_cast<int>(rng() % 30);
        Owned src(w, h);
        for (int k = 0; k < w * h; ++k)
            src->pixels()[k] = static_cast<unsigned char>(rng() % 3 ? rng() % 256 : 0);
        src->originX = static_cast<int>(rng() % (2 * w)) - w / 2;
        src->originY = static_cast<int>(rng() % (2 * h)) - h / 2;
        // Regions lie on the screen, as the blits require.
        s.setRegion(static_cast<int>(rng() % 12), static_cast<int>(rng() % 12), 30 + static_cast<int>(rng() % 24),
                    20 + static_cast<int>(rng() % 22), static_cast<int>(rng() % 9) - 4,
                    static_cast<int>(rng() % 9) - 4);
        const int x = static_cast<int>(rng() % 90) - 20, y = static_cast<int>(rng() % 70) - 15;
        // Mostly ordinary steps, some tiny and some huge; the cut products
        // must still fit 32 bits.
        const unsigned zoom = i % 10 == 0 ? 1 + static_cast<unsigned>(rng() % (1u << 24))
                                          : 4000 + static_cast<unsigned>(rng() % 300000);
        const Form form = forms[i % 4];

        ASSERT_TRUE(selectCpuPath(CpuPath::Plain));
        clrScreen(9);
        std::memset(&videoStatistics, 0, sizeof videoStatistics);
        form(x, y, src.h, zoom);
        const auto plain = pixels(s.bitmap());
        const ZelVideoStatistics plainStats = stats();

        ASSERT_TRUE(selectCpuPath(fast));
        clrScreen(9);
        std::memset(&videoStatistics, 0, sizeof videoStatistics);
        form(x, y, src.h, zoom);
        ASSERT_EQ(pixels(s.bitmap()), plain) << i;
        EXPECT_EQ(std::memcmp(&plainStats, &videoStatistics, sizeof plainStats), 0) << i;
    }
}

TEST_F(Zoom, AggregatePieceScalesLikeAWholeBitmap)
{
    ScreenSetup s(12, 8);
    Owned strip(3, 4, "111\n2.2\n343\n5.5\n");
    strip->originX = 1;
    Owned piece(3, 2, "343\n5.5\n");
    piece->originX = 1;
    const size_t live = zeltest::liveBlockCount();
    ZelBitmap::PutAggregateScale(4, 1, 6, 2, strip.h, 32768);
    EXPECT_EQ(zeltest::liveBlockCount(), live);
    const auto fromStrip = pixels(s.bitmap());
    clrScreen(0);
    bmpZoomImage(4, 1, piece.h, 32768);
    EXPECT_EQ(pixels(s.bitmap()), fromStrip);
}

}  // namespace
