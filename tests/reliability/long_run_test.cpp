// Thousands of random drawing calls of every family on a Screen inside guard
// bytes. After each call the guards, the Screen's header and every pixel
// outside the clip region are as they were, and no block was left behind.
// ZEL_LONG_RUN_CALLS raises the number of calls for a long run by hand;
// ZEL_LONG_RUN_SEED repeats the run of a reported seed.

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "draw/smart_line.h"
#include "guarded_screen.h"
#include "random_drawing.h"
#include "test_support.h"

namespace {

unsigned long fromEnvironment(const char* name, unsigned long fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? std::strtoul(value, nullptr, 10) : fallback;
}

// The first pixel outside the region that is not what it was, or empty.
std::string changedOutside(const std::vector<unsigned char>& before, const zeltest::GuardedScreen& screen)
{
    const ZelClipRgn& r = screen.setup().region();
    const Bitmap& b = screen.setup().bitmap();
    for (int y = 0; y < b.height; ++y) {
        for (int x = 0; x < b.width; ++x) {
            const size_t at = static_cast<size_t>(y) * b.width + x;
            if (!r.contains(x, y) && screen.pixels()[at] != before[at])
                return "pixel " + std::to_string(x) + "," + std::to_string(y) + " outside the region changed";
        }
    }
    return {};
}

TEST(LongRun, RandomCallsStayInsideTheRegionAndTheScreen)
{
    const unsigned long calls = fromEnvironment("ZEL_LONG_RUN_CALLS", 6000);
    const auto seed = static_cast<uint32_t>(fromEnvironment("ZEL_LONG_RUN_SEED", 20240611));
    // Wider than high: a smart line never covers more pixels than a row holds.
    zeltest::GuardedScreen screen(90, 64);
    zeltest::RandomDrawing drawing(seed, screen);
    const size_t baseline = zeltest::liveBlockCount() - drawing.heldBlocks();
    std::vector<unsigned char> before(screen.size());
    std::string region;
    const auto started = std::chrono::steady_clock::now();

    for (unsigned long i = 0; i < calls; ++i) {
        if (i % 40 == 0)
            region = drawing.newRegion();
        std::copy(screen.pixels(), screen.pixels() + screen.size(), before.begin());
        const std::string what = drawing.call();
        std::string wrong = screen.damage();
        if (wrong.empty())
            wrong = changedOutside(before, screen);
        if (wrong.empty())
            wrong = drawing.problem();
        if (wrong.empty() && drawing.undo()) {
            wrong = screen.damage();
            if (wrong.empty() && !std::equal(before.begin(), before.end(), screen.pixels()))
                wrong = "drawing it again did not give the screen back";
        }
        if (wrong.empty() && zeltest::liveBlockCount() != baseline + drawing.heldBlocks())
            wrong = "blocks were left behind";
        if (!wrong.empty()) {
            ADD_FAILURE() << "seed " << seed << ", call " << i << " in " << region << ": " << what << ": " << wrong;
            return;
        }
    }
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
    std::cout << "long run: " << calls << " calls, seed " << seed << ", " << drawing.skipped()
              << " without a position inside the contract, " << ms << " ms" << std::endl;
}

// The checks above can fail: a region one row taller than the screen lets a
// bar write into the guard after the last pixel.
TEST(LongRun, GuardsSeeAWritePastTheLastPixel)
{
    zeltest::GuardedScreen screen(10, 4);
    EXPECT_EQ(screen.damage(), "");
    screen.setup().setRegion(0, 0, 10, 5);
    putBar(2, 4, 3, 1, 9);
    EXPECT_EQ(screen.damage(), "guard byte 42 from the first pixel changed");
}

// Cases long runs found, kept as they were met.
TEST(LongRun, LinesIntoEmptyRegionsAndOutlinesAtTheEndOfTheRange)
{
    zeltest::ScreenSetup screen(40, 30, 3);
    const std::string blank = zeltest::picture(screen.bitmap());
    // A region without rows, then one without columns: a line across
    // either used to leave its first pixel just outside.
    for (const ZelClipRgn& r : {ZelClipRgn{10, 5, 30, 5, 0, 0, {}}, ZelClipRgn{10, 5, 10, 20, 0, 0, {}}}) {
        screen.setRegion(r.left, r.top, r.right, r.bottom);
        putLine(5, -10, 8, 20, 9);   // from above the region to below it
        putLine(-10, 0, 20, 4, 9);   // from its left to its right
        ZelSmartLine line{HSimple<unsigned char>(), {0, 0}, {0, 0}, 0};
        line.draw(5, -10, 8, 20, 9);
        EXPECT_EQ(zeltest::picture(screen.bitmap()), blank);
        line.erase();
        line.free();
    }
    // Outlines whose top row is the last int: the side columns start on the
    // row after it, which wraps far away (and must not overflow on the way).
    screen.setRegion(0, 0, 40, 30);
    putRectangle(2, INT32_MAX, 5, 4, 9);
    putXorRectangle(2, INT32_MAX, 5, 4, 9);
    EXPECT_EQ(zeltest::picture(screen.bitmap()), blank);
}

}  // namespace
