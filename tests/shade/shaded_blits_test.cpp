// Shaded blits over tables whose entries show the level used: the bar with
// its clipping, mask bytes as shade values (1:1 and zoomed, shifted), and the
// shade-scale blits against their unshaded twins.

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/blit.h"
#include "blit/scale.h"
#include "platform/cpu_features.h"
#include "shade/shade.h"
#include "test_support.h"
#include "video/palette.h"

namespace {

using Owned = zeltest::TestBitmap;
using zeltest::picture;
using zeltest::pixels;
using zeltest::ScreenSetup;

void randomPixels(Bitmap& b, std::mt19937& rng, int zeroOneIn)
{
    for (int k = 0; k < b.width * b.height; ++k)
        b.pixels()[k] = static_cast<unsigned char>(rng() % zeroOneIn ? 1 + rng() % 35 : 0);
}

// Dark level s turns colour c into c + s; light level -k into c + 100 + k, so
// that light level 0 is visible too (identityLightZero() makes it a no-op).
class Shaded : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZelVideo::shadeDark = static_cast<unsigned char*>(ZelMEMTmp::Malloc(ZelShadeTableBytes));
        ZelVideo::shadeLight = static_cast<unsigned char*>(ZelMEMTmp::Malloc(ZelShadeTableBytes));
        ASSERT_TRUE(ZelVideo::shadeDark && ZelVideo::shadeLight);
        for (int c = 0; c < 256; ++c) {
            for (int k = 0; k < ZelShadeLevels; ++k) {
                ZelVideo::shadeDark[c * ZelShadeLevels + k] = static_cast<unsigned char>(c + k + 1);
                ZelVideo::shadeLight[c * ZelShadeLevels + k] = static_cast<unsigned char>(c + 100 + k);
            }
        }
        videoStatistics = {};
    }
    void TearDown() override
    {
        ZelMEMTmp::Free(ZelVideo::shadeDark);
        ZelMEMTmp::Free(ZelVideo::shadeLight);
        ZelVideo::shadeDark = ZelVideo::shadeLight = nullptr;
    }
    static void identityLightZero()
    {
        for (int c = 0; c < 256; ++c)
            ZelVideo::shadeLight[c * ZelShadeLevels] = static_cast<unsigned char>(c);
    }
};

TEST_F(Shaded, BarShadesTheClippedRectangle)
{
    ScreenSetup s(6, 4, 5);
    s.setRegion(1, 0, 5, 3);
    ZelVideo::putShadedBar(-1, 1, 3, 5, 1);  // columns 0 to 2 and rows 1 to 5, cut left and below
    ZelVideo::putShadedBar(1, 0, 0, 3, 4);   // empty, or wholly outside: nothing
    ZelVideo::putShadedBar(1, 0, 3, 0, 4);
    ZelVideo::putShadedBar(10, 0, 3, 3, 4);
    EXPECT_EQ(picture(s.bitmap()), "555555\n566555\n566555\n555555\n");

    // Levels 1 and 64 take the dark table's first and last columns, 0 and -63
    // the light table's.
    const std::pair<signed char, int> levels[] = {{1, 6}, {64, 69}, {0, 105}, {-63, 168}};
    for (const auto& [shade, expected] : levels) {
        ZelVideo::putShadedBar(3, 2, 1, 1, shade);
        EXPECT_EQ(*s.bitmap().pixelAt(4, 2), expected) << int{shade};
        *s.bitmap().pixelAt(4, 2) = 5;
    }
}

// The bar's rows mapped 64 pixels at a time must equal the plain loop, over
// random screens, regions with origins, shade values and widths that leave
// every length of tail.
TEST_F(Shaded, EveryPathShadesTheBarAsThePlainLoop)
{
    const CpuPath widest = widestCpuPath();
    std::mt19937 rng(1207);
    for (int round = 0; round < 200; ++round) {
        const int w = 1 + static_cast<int>(rng() % 300), h = 1 + static_cast<int>(rng() % 20);
        ScreenSetup s(w, h);
        for (int k = 0; k < w * h; ++k)
            s.bitmap().pixels()[k] = static_cast<unsigned char>(rng());
        s.setRegion(static_cast<int>(rng() % (w / 2 + 1)), static_cast<int>(rng() % (h / 2 + 1)),
                    w - static_cast<int>(rng() % (w / 4 + 1)), h, static_cast<int>(rng() % 21) - 10,
                    static_cast<int>(rng() % 7) - 3);
        const std::vector<unsigned char> before = pixels(s.bitmap());
        const int x = static_cast<int>(rng() % (w + 20)) - 10, y = static_cast<int>(rng() % (h + 6)) - 3;
        const int bw = static_cast<int>(rng() % (w + 10)), bh = static_cast<int>(rng() % (h + 3));
        const auto shade = static_cast<signed char>(static_cast<int>(rng() % 128) - 63);

        std::vector<unsigned char> plain;
        for (CpuPath path : {CpuPath::Plain, CpuPath::Sse2, CpuPath::Avx2, CpuPath::Avx512}) {
            if (path > widest)
                continue;
            ASSERT_TRUE(selectCpuPath(path));
            std::memcpy(s.bitmap().pixels(), before.data(), before.size());
            ZelVideo::putShadedBar(x, y, bw, bh, shade);
            if (path == CpuPath::Plain)
                plain = pixels(s.bitmap());
            else
                ASSERT_EQ(pixels(s.bitmap()), plain) << "round " << round << " path " << static_cast<int>(path);
        }
    }
    selectCpuPath(widest);
}

TEST_F(Shaded, MaskBytesAreSignedShadeValues)
{
    ScreenSetup s(6, 4, 5);
    Owned mask(3, 2, "1.2\n#3.\n");  // '#' is 255: light level 1
    mask->originX = 1;
    ZelVideo::putShadedImage(2, 1, mask.h);
    EXPECT_EQ(picture(s.bitmap()), "555555\n565755\n5#8555\n555555\n");
    EXPECT_EQ(*s.bitmap().pixelAt(1, 2), 106);

    clrScreen(5);
    Owned blank(3, 3, "...\n...\n...\n");
    ZelVideo::putShadedImage(1, 1, blank.h);
    ZelVideo::putShadedImage(1, 1, HClass<Bitmap>());
    ZelVideo::bmpZoomShadedImage(1, 1, HClass<Bitmap>(), 40000);
    EXPECT_EQ(picture(s.bitmap()), "555555\n555555\n555555\n555555\n");
    EXPECT_EQ(videoStatistics.zoomCalls, 0u);
}

// The 1:1 mask shades exactly where putImage would draw; the zoomed mask at
// 65536 shades the same pixels and counts; n = 1 (and n = 33) is the signed
// reading of the first overload.
TEST_F(Shaded, MaskPlacementsAgree)
{
    std::mt19937 rng(62);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    ScreenSetup s(30, 24);
    std::vector<unsigned char> screen(30 * 24);
    for (auto& v : screen)
        v = static_cast<unsigned char>(rng() % 30);
    auto reset = [&] { std::memcpy(s.bitmap().pixels(), screen.data(), screen.size()); };
    for (int i = 0; i < 300; ++i) {
        const int w = 1 + pick(8), h = 1 + pick(8);
        Owned mask(w, h);
        randomPixels(*mask.h.get(), rng, 3);
        mask->originX = pick(w);
        mask->originY = pick(h);
        s.setRegion(pick(8), pick(8), 20 + pick(11), 16 + pick(9), pick(7) - 3, pick(7) - 3);
        const int x = pick(40) - 8, y = pick(34) - 8;

        clrScreen(0);
        putImage(x, y, mask.h, 0);
        const auto footprint = pixels(s.bitmap());
        reset();
        ZelVideo::putShadedImage(x, y, mask.h);
        const auto shaded = pixels(s.bitmap());
        for (size_t k = 0; k < shaded.size(); ++k)
            ASSERT_EQ(shaded[k], footprint[k] ? screen[k] + footprint[k] : screen[k]) << i << " at " << k;

        reset();
        const uint32_t calls = videoStatistics.zoomCalls;
        ZelVideo::bmpZoomShadedImage(x, y, mask.h, 65536);
        ASSERT_EQ(pixels(s.bitmap()), shaded) << i;
        if (shaded != screen) {
            EXPECT_EQ(videoStatistics.zoomCalls, calls + 1);
        }

        const unsigned zoom = 20000 + static_cast<unsigned>(rng() % 120000);
        reset();
        ZelVideo::bmpZoomShadedImage(x, y, mask.h, zoom);
        const auto zoomed = pixels(s.bitmap());
        for (unsigned n : {1u, 33u}) {
            reset();
            ZelVideo::bmpZoomShadedImage(x, y, mask.h, zoom, n);
            ASSERT_EQ(pixels(s.bitmap()), zoomed) << i << " n " << n;
        }
    }
}

TEST_F(Shaded, ShiftedMaskBytes)
{
    ScreenSetup s(6, 1, 5);
    Owned mask(6, 1);
    const unsigned char bytes[] = {0, 1, 3, 4, 8, 255};
    std::memcpy(mask->pixels(), bytes, 6);
    const std::pair<unsigned, std::vector<unsigned char>> cases[] = {
        {3, {5, 105, 105, 6, 7, 68}},       // bytes >> 2: 4 to 255 dark, 1 to 3 light level 0
        {9, {5, 105, 105, 105, 105, 105}},  // everything shifted out: light level 0
        {0, {5, 105, 105, 105, 105, 105}},  // n - 1 wraps to a shift by 31
    };
    for (const auto& [n, expected] : cases) {
        clrScreen(5);
        ZelVideo::bmpZoomShadedImage(0, 0, mask.h, 65536, n);
        EXPECT_EQ(pixels(s.bitmap()), expected) << "n " << n;
    }
}

using ShadeScale = void (*)(int, int, HClass<Bitmap>, unsigned char, signed char);
using PlainScale = void (*)(int, int, HClass<Bitmap>, unsigned char);
const std::pair<ShadeScale, PlainScale> twins[] = {
    {ZelVideo::bmpZoomImageShadeScale, bmpZoomImageScale},
    {ZelVideo::bmpZoomImageShadeScaleRot90, bmpZoomImageScaleRot90},
    {ZelVideo::bmpZoomImageShadeScaleRot180, bmpZoomImageScaleRot180},
    {ZelVideo::bmpZoomImageShadeScaleRot270, bmpZoomImageScaleRot270},
};

TEST_F(Shaded, ShadeScaleDrawsShadedColoursWithoutReadingTheScreen)
{
    ScreenSetup s(4, 4, 9);
    Owned sprite(2, 2, "1.\n34\n");
    ZelVideo::bmpZoomImageShadeScaleRot90(3, 0, sprite.h, 15, 2);
    EXPECT_EQ(picture(s.bitmap()), "5533\n5533\n6699\n6699\n");
    clrScreen(9);
    ZelVideo::bmpZoomImageShadeScale(0, 0, sprite.h, 16, 0);  // no 1:1 shortcut: light level 0 applies
    EXPECT_EQ(*s.bitmap().pixelAt(0, 0), 101);
    EXPECT_EQ(*s.bitmap().pixelAt(1, 0), 9);
    EXPECT_EQ(videoStatistics.scaleCalls, 2u);
}

// With an identity light level 0 and shade 0 every form draws its unshaded
// twin's pixels, at 1:1 too.
TEST_F(Shaded, IdentityShadeEqualsTheUnshadedTwin)
{
    identityLightZero();
    std::mt19937 rng(26);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    ScreenSetup s(36, 32, 200);
    for (int i = 0; i < 400; ++i) {
        const int w = 1 + pick(9), h = 1 + pick(7);
        Owned src(w, h);
        randomPixels(*src.h.get(), rng, 4);
        src->originX = pick(w + 2) - 1;
        src->originY = pick(h + 2) - 1;
        s.setRegion(pick(10), pick(10), 24 + pick(13), 20 + pick(13), pick(7) - 3, pick(7) - 3);
        const int x = pick(50) - 8, y = pick(46) - 8;
        const auto sc = static_cast<unsigned char>(14 + pick(5));
        const auto& [shaded, plain] = twins[i % 4];
        clrScreen(200);
        shaded(x, y, src.h, sc, 0);
        const std::string drawn = picture(s.bitmap());
        clrScreen(200);
        plain(x, y, src.h, sc);
        ASSERT_EQ(drawn, picture(s.bitmap())) << "form " << i % 4 << " case " << i << " scale " << int{sc};
    }
}

// One multiplication per drawn line whatever the width: the unshaded twin of
// a 64-pixel-wide bitmap shifts instead.
TEST_F(Shaded, ShadeScaleMultipliesEveryLine)
{
    ScreenSetup big(200, 200);
    Owned pow2(64, 3);
    std::memset(pow2->pixels(), 1, 64 * 3);
    for (const auto& [shaded, plain] : twins) {
        videoStatistics = {};
        shaded(100, 100, pow2.h, 15, 0);  // 3 rows at double size
        plain(100, 100, pow2.h, 15);
        EXPECT_EQ(videoStatistics.scaleMuls, 6u);
        EXPECT_EQ(videoStatistics.scaleCalls, 2u);
    }
}

}  // namespace
