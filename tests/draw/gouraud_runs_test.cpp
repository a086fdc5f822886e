// The Gouraud fills draw runs of equal colour at once and compute steep ramps
// many pixels at a time; over random spans, intensities and screens every
// path must leave exactly the pixels of the plain pixel-by-pixel fills.

#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "draw/poly.h"
#include "platform/cpu_features.h"
#include "test_support.h"
#include "video/screen.h"

namespace {

using zeltest::ScreenSetup;

// Intensities of every kind a tracer can leave: gentle ramps either way, steep
// ones, flat ones, and values next to the 32-bit wrap.
int32_t randomIntensity(std::mt19937& rng)
{
    switch (rng() % 4) {
    case 0:
        return static_cast<int32_t>(rng() % 32) << 16 | static_cast<int32_t>(rng() & 0xffff);
    case 1:
        return static_cast<int32_t>(rng() % (256 << 16));
    case 2:
        return static_cast<int32_t>(0x7fff0000u + rng() % 0x20000u);
    default:
        return static_cast<int32_t>(rng());
    }
}

void randomSpans(std::mt19937& rng, int width, int height)
{
    polyMinY = static_cast<int32_t>(rng() % static_cast<unsigned>(height + 4)) - 2;
    polyHeight = static_cast<int32_t>(rng() % static_cast<unsigned>(height + 3));
    Point* columns = polyBuffer.get();
    Point* intensities = gouraudBuffer.get();
    for (int r = 0; r < polyHeight; ++r) {
        const int32_t left = static_cast<int32_t>(rng() % static_cast<unsigned>(width + 8)) - 4;
        const int32_t right = left + static_cast<int32_t>(rng() % static_cast<unsigned>(width + 4));
        columns[r] = {{left, right}};
        const int32_t start = randomIntensity(rng);
        intensities[r] = {{start, rng() % 3 == 0 ? start : randomIntensity(rng)}};
    }
}

// The screen after a Gouraud fill drawn with the given path.
std::vector<unsigned char> drawnWith(CpuPath path, bool enhanced, unsigned char fill, const Bitmap& screen)
{
    EXPECT_TRUE(selectCpuPath(path));
    clrScreen(fill);
    enhanced ? fillPolyGouraudEnh() : fillPolyGouraud();
    return zeltest::pixels(screen);
}

TEST(GouraudRuns, EveryPathLeavesThePixelsOfThePlainFills)
{
    const CpuPath widest = widestCpuPath();
    std::mt19937 rng(20261205);
    const unsigned char savedColour = defaultColor;
    long drawn = 0;  // pixels the fills changed, so the comparison is not empty
    // Odd widths put the rows at addresses of both parities.
    for (int width : {1, 7, 64, 333}) {
        const int height = 1 + static_cast<int>(rng() % 40);
        ScreenSetup screen(width, height);
        for (int round = 0; round < 300; ++round) {
            randomSpans(rng, width, height);
            defaultColor = static_cast<unsigned char>(rng());
            const bool enhanced = rng() & 1;
            const unsigned char fill = static_cast<unsigned char>(rng());

            const std::vector<unsigned char> expected = drawnWith(CpuPath::Plain, enhanced, fill, screen.bitmap());
            for (unsigned char p : expected)
                drawn += p != fill;
            for (CpuPath path : {CpuPath::Sse2, CpuPath::Avx2}) {
                if (path > widest)
                    continue;
                ASSERT_EQ(drawnWith(path, enhanced, fill, screen.bitmap()), expected)
                    << "path " << static_cast<int>(path) << " width " << width << " round " << round
                    << (enhanced ? " enhanced" : " two-level");
            }
        }
    }
    defaultColor = savedColour;
    selectCpuPath(widest);
    EXPECT_GT(drawn, 20000);
}

}  // namespace
