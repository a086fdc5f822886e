// XOR figures: the same figure twice restores the Screen, each pixel is
// touched once, and the figures match their solid twins.

#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "test_support.h"

namespace {

using zeltest::picture;
using zeltest::ScreenSetup;

using zeltest::pixels;

TEST(Xor, RectangleTouchesEachOutlinePixelOnce)
{
    ScreenSetup s(12, 13);
    putXorRectangle(10, 10, -3, 2, 5);
    EXPECT_EQ(picture(s.bitmap()).substr(10 * 13, 26), ".......555..\n.......555..\n");
    clrScreen(0);
    putXorRectangle(1, 1, 4, 4, 3);
    putXorRectangle(6, 1, 1, 5, 3);
    putXorRectangle(8, 1, 3, 2, 3);
    EXPECT_EQ(picture(s.bitmap()).substr(0, 13 * 6),
              "............\n"
              ".3333.3.333.\n"
              ".3..3.3.333.\n"
              ".3..3.3.....\n"
              ".3333.3.....\n"
              "......3.....\n");
}

TEST(Xor, MasksZeroAndAllOnes)
{
    ScreenSetup s(4, 1, 9);
    putXorHLine(0, 0, 4, 0);
    EXPECT_EQ(picture(s.bitmap()), "9999\n");
    putXorHLine(1, 0, 2, 255);
    EXPECT_EQ(s.bitmap().pixels()[1], 255 - 9);
    putXorBar(0, 0, 4, 0, 255);
    putXorBar(0, 0, -1, 1, 255);
    putXorVLine(0, 0, -2, 255);
    EXPECT_EQ(s.bitmap().pixels()[0], 9);
}

TEST(Xor, SameFiguresAsTheSolidTwins)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> pos(-12, 30), size(-6, 20);
    ScreenSetup s(24, 20);
    for (int i = 0; i < 500; ++i) {
        s.setRegion(2 + i % 3, 1 + i % 4, 20 - i % 5, 17 - i % 2, i % 3 - 1, i % 4 - 2);
        const int x = pos(rng), y = pos(rng), w = size(rng), h = size(rng);
        clrScreen(0);
        putRectangle(x, y, w, h, 77);
        const auto solid = pixels(s.bitmap());
        clrScreen(0);
        putXorRectangle(x, y, w, h, 77);
        ASSERT_EQ(pixels(s.bitmap()), solid) << i;
        clrScreen(0);
        putBar(x, y, w, h, 77);
        const auto bar = pixels(s.bitmap());
        clrScreen(0);
        putXorBar(x, y, w, h, 77);
        ASSERT_EQ(pixels(s.bitmap()), bar) << i;
    }
}

TEST(Xor, EveryFigureDrawnTwiceRestoresTheScreen)
{
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> pos(-12, 30), size(-6, 20), value(0, 255);
    ScreenSetup s(24, 20);
    for (int i = 0; i < 2000; ++i) {
        s.setRegion(i % 4, i % 3, 24 - i % 5, 20 - i % 6, i % 5 - 2, i % 3 - 1);
        for (int k = 0; k < 24 * 20; ++k)
            s.bitmap().pixels()[k] = static_cast<unsigned char>(value(rng));
        const auto before = pixels(s.bitmap());
        const int x = pos(rng), y = pos(rng), w = size(rng), h = size(rng);
        const auto m = static_cast<unsigned char>(value(rng));
        for (int twice = 0; twice < 2; ++twice) {
            switch (i % 4) {
            case 0: putXorRectangle(x, y, w, h, m); break;
            case 1: putXorBar(x, y, w, h, m); break;
            case 2: putXorHLine(x, y, w, m); break;
            default: putXorVLine(x, y, h, m); break;
            }
        }
        ASSERT_EQ(pixels(s.bitmap()), before) << i;
    }
}

}  // namespace
