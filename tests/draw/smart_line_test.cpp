// The rubber-band line: drawn like putLine, erased back to the exact picture,
// with its buffer sized by the unclipped line and capped at the screen width.

#include <random>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "draw/smart_line.h"
#include "test_support.h"

namespace {

using zeltest::ScreenSetup;

using zeltest::pixels;

ZelSmartLine freshLine()
{
    ZelSmartLine line;
    line.buffer = HSimple<unsigned char>();
    line.drawn = 0;
    line.from = line.to = {0, 0};
    return line;
}

TEST(SmartLine, DrawsExactlyWhatPutLineDrawsAndErasesBack)
{
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> coord(-20, 50), value(0, 255);
    ScreenSetup s(32, 24);
    ZelSmartLine line = freshLine();
    for (int i = 0; i < 1000; ++i) {
        s.setRegion(i % 5, i % 4, 32 - i % 7, 24 - i % 3, i % 3 - 1, i % 5 - 2);
        for (int k = 0; k < 32 * 24; ++k)
            s.bitmap().pixels()[k] = static_cast<unsigned char>(value(rng));
        const auto before = pixels(s.bitmap());
        const int x1 = coord(rng), y1 = coord(rng);
        // Every fourth line is vertical or horizontal, to take the run paths.
        const int x2 = i % 8 == 1 ? x1 : coord(rng), y2 = i % 8 == 3 ? y1 : coord(rng);

        putLine(x1, y1, x2, y2, 200);
        const auto expected = pixels(s.bitmap());
        std::copy(before.begin(), before.end(), s.bitmap().pixels());

        line.draw(x1, y1, x2, y2, 200);
        ASSERT_EQ(pixels(s.bitmap()), expected) << i;
        ASSERT_EQ(line.drawn, -1);
        line.erase();
        ASSERT_EQ(pixels(s.bitmap()), before) << i;
        line.erase();  // a second erase changes nothing
        ASSERT_EQ(pixels(s.bitmap()), before) << i;
    }
    line.free();
    EXPECT_TRUE(line.buffer.isNull());
}

TEST(SmartLine, BufferGrowsToTheLongestLineCappedAtScreenWidth)
{
    ScreenSetup s(16, 40);
    ZelSmartLine line = freshLine();
    line.draw(2, 2, 2, 2, 1);
    EXPECT_EQ(ZelMem::GetPtrSize(line.buffer.get()), 1u);
    EXPECT_STREQ(ZelMem::GetPtrData(line.buffer.get()), "ZelSmartLine buffer");
    line.erase();
    line.draw(0, 0, 5, 2, 1);
    EXPECT_EQ(ZelMem::GetPtrSize(line.buffer.get()), 6u);
    line.erase();
    line.draw(0, 0, 1, 1, 1);
    EXPECT_EQ(ZelMem::GetPtrSize(line.buffer.get()), 6u);  // never shrinks
    line.erase();
    line.draw(3, 0, 3, 39, 1);
    EXPECT_EQ(ZelMem::GetPtrSize(line.buffer.get()), 16u);
    line.erase();
    line.free();
    EXPECT_EQ(line.drawn, 0);
}

TEST(SmartLine, PrintsEndPointsAndSavedBytesInHex)
{
    ScreenSetup s(20, 30);
    for (int x = 10; x < 14; ++x)
        putPixel(x, 20, std::vector<unsigned char>{31, 31, 0, 3}[x - 10]);
    ZelSmartLine line = freshLine();
    line.from = {7, 8};
    line.to = {9, 10};
    std::ostringstream before;
    line.printOn(before);
    EXPECT_EQ(before.str(), "ZelSmartLine from: [ 7, 8 ], to: [ 9, 10 ], line: [ ]");

    line.draw(10, 20, 13, 20, 5);
    std::ostringstream out;
    out << std::oct;
    line.printOn(out);
    // End points in the stream's own base, saved bytes in hex.
    EXPECT_EQ(out.str(), "ZelSmartLine from: [ 12, 24 ], to: [ 15, 24 ], line: [ 1f 1f 0 3 ]");
    out.str("");
    out << 26;
    EXPECT_EQ(out.str(), "26");  // left in decimal
    line.erase();
    line.free();
}

}  // namespace
