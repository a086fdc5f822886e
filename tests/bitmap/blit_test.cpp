// 1:1 blits: placement by origin point, clipping on every edge with region
// origins, transparency, glyph colours, aggregate pieces, capture, and the
// member blits into other bitmaps.

#include <cstring>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/blit.h"
#include "test_support.h"

namespace {

using zeltest::paint;
using zeltest::picture;
using zeltest::ScreenSetup;

using Owned = zeltest::TestBitmap;
using zeltest::pixels;

TEST(PutImage, OriginPointLandsOnThePosition)
{
    ScreenSetup s(6, 5);
    Owned sprite(3, 2, "123\n4.5\n");
    sprite->originX = 1;
    sprite->originY = 1;
    putImage(2, 2, sprite.h, 0);
    EXPECT_EQ(picture(s.bitmap()), "......\n.123..\n.4.5..\n......\n......\n");
}

TEST(PutImage, ClipsEveryEdgeThroughARegionWithAnOrigin)
{
    ScreenSetup s(8, 7, 9);
    s.setRegion(2, 1, 6, 5, 1, 2);  // drawing (0, 0) is pixel (3, 3)
    Owned sprite(4, 4, "1234\n5678\nabcd\nefgh\n");
    putImage(-3, -4, sprite.h, 2);  // cut on the left and top: its last 2 x 2 show
    putImage(1, 0, sprite.h, 2);    // cut on the right and bottom
    EXPECT_EQ(picture(s.bitmap()),
              "99999999\n"
              "99cd9999\n"
              "99gh9999\n"
              "99991299\n"
              "99995699\n"
              "99999999\n"
              "99999999\n");
}

TEST(PutImage, TransparentAndOpaqueModes)
{
    ScreenSetup s(3, 1, 7);
    Owned sprite(3, 1, "1.2\n");
    putImage(0, 0, sprite.h, 0);
    EXPECT_EQ(picture(s.bitmap()), "172\n");
    putImage(0, 0, sprite.h, 2);
    EXPECT_EQ(picture(s.bitmap()), "1.2\n");
    putImage(0, 0, sprite.h, 1);  // only the bit of value 2 counts
    EXPECT_EQ(picture(s.bitmap()), "1.2\n");
    putImage(0, 0, HClass<Bitmap>(), 2);
    putImage(40, 0, sprite.h, 2);
    EXPECT_EQ(picture(s.bitmap()), "1.2\n");
}

TEST(PutImage, FullWidthBlockCopyMatchesTheRowPath)
{
    std::mt19937 rng(2);
    ScreenSetup s(16, 12);
    Owned wide(16, 9);
    for (int k = 0; k < 16 * 9; ++k)
        wide->pixels()[k] = static_cast<unsigned char>(rng());
    for (int y = -10; y <= 12; ++y) {
        clrScreen(3);
        putImage(0, y, wide.h, 2);  // full rows: one block copy
        const auto fast = pixels(s.bitmap());
        clrScreen(3);
        ZelBitmap::PutAggregate(0, y, 0, 9, wide.h, 0);  // same piece, row by row
        ASSERT_EQ(pixels(s.bitmap()), fast) << y;
    }
}

TEST(PutLetter, GlyphValuesCountFromTheColour)
{
    ScreenSetup s(4, 1, 5);
    Owned glyph(4, 1, "13.#\n");
    glyph->originX = 3;  // not used by putLetter
    putLetter(0, 0, glyph.h, 32);
    EXPECT_EQ(s.bitmap().pixels()[0], 32);
    EXPECT_EQ(s.bitmap().pixels()[1], 34);
    EXPECT_EQ(s.bitmap().pixels()[2], 5);
    EXPECT_EQ(s.bitmap().pixels()[3], 30);  // 255 + 32 - 1 wraps
    putLetter(0, 0, glyph.h, 0);
    EXPECT_EQ(s.bitmap().pixels()[0], 0);
}

TEST(PutAggregate, DrawsOnePieceOfAStrip)
{
    ScreenSetup s(3, 2);
    Owned strip(3, 8, "111\n111\n2.2\n222\n333\n333\n4.4\n444\n");
    strip->originX = 1;
    ZelBitmap::PutAggregate(1, 0, 3 * 3 * 2, 2, strip.h, 0);
    EXPECT_EQ(picture(s.bitmap()), "4.4\n444\n");
    clrScreen(9);
    ZelBitmap::PutAggregate(1, 0, 3 * 2, 2, strip.h, 1);
    EXPECT_EQ(picture(s.bitmap()), "292\n222\n");
}

TEST(GetImage, CapturesClippedAreaAndReusesItsBitmap)
{
    ScreenSetup s(5, 4);
    paint(s.bitmap(), "12345\n6789a\nbcdef\nghijk\n");
    s.setRegion(1, 0, 5, 4, 0, 1);
    HClass<Bitmap> shot = getImage(-1, 0, 3, 2, HClass<Bitmap>());
    ASSERT_TRUE(shot.resolves());
    EXPECT_STREQ(ZelMem::GetPtrData(shot.get()), "ZelBitmap (getImage)");
    EXPECT_EQ(shot->attachKind(), 0u);
    // Column 0 of the capture lies left of the region and is not written.
    EXPECT_EQ(shot->pixels()[1], 7);
    EXPECT_EQ(shot->pixels()[2], 8);
    EXPECT_EQ(shot->pixels()[4], 0xc);
    const unsigned short first = shot.value;
    shot->pixels()[0] = 99;
    putPixel(0, 0, 1);
    HClass<Bitmap> again = getImage(-1, 0, 3, 2, shot);
    EXPECT_EQ(again.value, first);
    EXPECT_EQ(again->pixels()[0], 99);  // outside the region: kept
    EXPECT_EQ(again->pixels()[1], 1);   // refreshed
    HClass<Bitmap> bigger = getImage(0, 0, 4, 2, again);
    EXPECT_EQ(bigger->width, 4);
    bigger.release();
}

TEST(MemberBlits, PutClipsToTheTargetOrItsRegion)
{
    Owned target(4, 3, "9999\n9999\n9999\n");
    Owned sprite(2, 2, "1.\n.2\n");
    sprite->originX = 1;
    ZelVector2 at{0, 2};
    sprite->put(at, 1, target.h);
    EXPECT_EQ(picture(*target.h.get()), "9999\n9999\n9999\n");
    sprite->put({1, 1}, 0, target.h);  // opaque: the zeros are copied too
    EXPECT_EQ(picture(*target.h.get()), "9999\n1.99\n.299\n");
    ZelBitmap::pushClipRgn(target.h, ZelClipRgn{2, 0, 4, 3, 1, 0, {}});
    sprite->put({1, 0}, 1, target.h);  // the sprite's left column lands on column 3
    EXPECT_EQ(picture(*target.h.get()), "9991\n1.99\n.299\n");
}

TEST(MemberBlits, ZoomHalvesAndMatchesPutAtOneToOne)
{
    Owned target(8, 8);
    Owned sprite(4, 4, "1234\n5678\n9abc\ndefg\n");
    std::memset(target->pixels(), 0, 64);
    sprite->zoom({0, 0}, 2 * 65536, target.h);
    EXPECT_EQ(picture(*target.h.get()).substr(0, 18), "13......\n9b......\n");

    std::memset(target->pixels(), 0, 64);
    sprite->zoom({2, 3}, 65536, target.h);
    const auto zoomed = pixels(*target.h.get());
    std::memset(target->pixels(), 0, 64);
    sprite->put({2, 3}, 1, target.h);
    EXPECT_EQ(pixels(*target.h.get()), zoomed);
}

TEST(MemberBlits, ZoomWithRowSpansDrawsTheSamePixels)
{
    std::mt19937 rng(4);
    Owned sprite(13, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 13; ++x)
            *sprite->pixelAt(x, y) = (x > y / 2 && x < 13 - y) ? static_cast<unsigned char>(1 + rng() % 200) : 0;
    sprite->originX = 6;
    sprite->originY = 4;
    Owned target(20, 16);
    for (unsigned scale : {20000u, 32768u, 50000u, 65537u, 100000u, 140000u}) {
        for (int x = -8; x < 24; x += 5) {
            sprite->releaseAttachment();
            std::memset(target->pixels(), 0, 320);
            sprite->zoom({x, 5}, scale, target.h);
            const auto plain = pixels(*target.h.get());
            sprite->createLineIndexes();
            std::memset(target->pixels(), 0, 320);
            sprite->zoom({x, 5}, scale, target.h);
            ASSERT_EQ(pixels(*target.h.get()), plain) << scale << " " << x;
        }
    }
}

}  // namespace
