// Wide row kernels: on every path this CPU runs, the SSE2 and AVX2 kernels
// give exactly the bytes of the plain loops, row by row at any width and
// alignment, and through whole blits and XOR figures on clipped screens.

#include <sanitizer/asan_interface.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <ostream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/blit.h"
#include "bitmap/wide_rows.h"
#include "draw/draw.h"
#include "platform/cpu_features.h"
#include "test_support.h"
#include "video/palette.h"

namespace {

using Bytes = std::vector<unsigned char>;
using zeltest::ScreenSetup;
using zeltest::TestBitmap;

// Random pixels with many zeros: some rows all zero or all ink, the rest a
// mix, so that whole chunks of every kind turn up.
class PixelSource {
public:
    explicit PixelSource(unsigned seed) : rng(seed) {}
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
    unsigned char byte() { return static_cast<unsigned char>(rng()); }
    void fill(unsigned char* p, size_t n)
    {
        static constexpr int zeroPercent[] = {0, 30, 50, 80, 100};
        const int zeros = zeroPercent[between(0, 4)];
        for (size_t i = 0; i < n; ++i)
            p[i] = between(0, 99) < zeros ? 0 : byte();
    }
    Bytes bytes(size_t n)
    {
        Bytes b(n);
        fill(b.data(), n);
        return b;
    }

private:
    std::mt19937 rng;
};

// A row of n bytes that ends exactly where its heap block ends, `lead` bytes
// after the block's start, so that the address sanitizer reports any access
// past the row; the whole 8-byte granules of the lead are poisoned as well.
class TightRow {
public:
    TightRow(const Bytes& content, size_t lead)
        : size(content.size()), lead(lead), block(new unsigned char[content.size()])
    {
        std::memcpy(block.get(), content.data(), size);
        ASAN_POISON_MEMORY_REGION(block.get(), lead / 8 * 8);
    }
    ~TightRow() { ASAN_UNPOISON_MEMORY_REGION(block.get(), lead / 8 * 8); }
    TightRow(const TightRow&) = delete;
    TightRow& operator=(const TightRow&) = delete;

    unsigned char* row() { return block.get() + lead; }
    // The row and the lead bytes that share its first granule; a write to
    // the poisoned granules is reported as it happens.
    Bytes readable() const { return Bytes(block.get() + lead / 8 * 8, block.get() + size); }

private:
    size_t size, lead;
    std::unique_ptr<unsigned char[]> block;
};

std::optional<size_t> firstDifference(const Bytes& a, const Bytes& b)
{
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i])
            return i;
    if (a.size() != b.size())
        return std::min(a.size(), b.size());
    return std::nullopt;
}

// Keeps the path in use as it was before the test.
struct PathGuard {
    CpuPath saved = cpuPath();
    ~PathGuard() { selectCpuPath(saved); }
};

// A test run for one kernel path; skipped where this CPU does not run it.
class OnPath : public testing::TestWithParam<CpuPath> {
protected:
    void SetUp() override
    {
        if (GetParam() > widestCpuPath())
            GTEST_SKIP() << "this CPU does not run the " << zeltest::cpuPathName(GetParam()) << " path";
    }
    PathGuard guard;
};

// A wide path, compared with the plain one.
class WidePath : public OnPath {
protected:
    const RowKernels& plain() const { return rowKernels(CpuPath::Plain); }
    const RowKernels& wide() const { return rowKernels(GetParam()); }
};

// One kernel call on a destination row (and a source row) placed at the given
// leads, made with the plain kernels and with the wide ones; the destination
// blocks must agree.
struct RowCase {
    int32_t n;
    size_t dLead, sLead;
    Bytes d, s;
};

template <class Call>
void expectSameRow(const RowCase& c, const RowKernels& plain, const RowKernels& wide, Call call, const char* kernel,
                   int k)
{
    TightRow plainD(c.d, c.dLead), wideD(c.d, c.dLead), s(c.s, c.sLead);
    call(plain, plainD.row(), s.row());
    call(wide, wideD.row(), s.row());
    const auto diff = firstDifference(wideD.readable(), plainD.readable());
    EXPECT_FALSE(diff) << kernel << " case " << k << ": n " << c.n << ", destination at +" << c.dLead
                       << ", source at +" << c.sLead << ", first difference at block byte "
                       << c.dLead / 8 * 8 + diff.value_or(0);
}

TEST_P(WidePath, KernelsMatchThePlainLoopsAtEveryWidthAndAlignment)
{
    PixelSource px(7);
    constexpr int32_t MaxWidth = 200;
    for (int k = 0; k < 15 * (MaxWidth + 1); ++k) {
        RowCase c;
        c.n = k % (MaxWidth + 1);  // every width, 15 times
        c.dLead = static_cast<size_t>(px.between(0, 70));
        c.sLead = static_cast<size_t>(px.between(0, 70));
        c.d = px.bytes(c.dLead + static_cast<size_t>(c.n));
        c.s = px.bytes(c.sLead + static_cast<size_t>(c.n));
        const unsigned char colour = px.byte();
        expectSameRow(c, plain(), wide(), [&](const RowKernels& r, unsigned char* d, const unsigned char* s) {
            r.transparent(d, s, c.n);
        }, "transparent", k);
        expectSameRow(c, plain(), wide(), [&](const RowKernels& r, unsigned char* d, const unsigned char* s) {
            r.glyph(d, s, c.n, colour);
        }, "glyph", k);
        expectSameRow(c, plain(), wide(), [&](const RowKernels& r, unsigned char* d, const unsigned char*) {
            r.xorSpan(d, c.n, colour);
        }, "xor", k);
        if (HasFailure())
            return;
    }
}

// The whole observable state the calls can change: the screen buffer, the
// blocks of the sprite and the target, and the drawing statistics.
struct Scene {
    static constexpr int W = 240, H = 8;
    static constexpr int SpriteMax = 200 * 4, TargetMax = 220 * 6;
    static constexpr size_t StateBytes = W * H + SpriteMax + TargetMax + sizeof(ZelVideoStatistics);

    ScreenSetup screen{W, H};
    // One block of the largest size serves every case as sprite and as
    // target; each case writes its own size into the header.
    TestBitmap spriteBlock{200, 4}, targetBlock{220, 6};
    // Taken after the last allocation, which may move blocks.
    Bitmap& sprite;
    Bitmap& target;

    Scene() : sprite(pushRegion()), target(*targetBlock.h.get()) {}

    void save(unsigned char* out) const
    {
        const auto put = [&out](const void* from, size_t n) {
            std::memcpy(out, from, n);
            out += n;
        };
        put(screen.bitmap().pixels(), W * H);
        put(sprite.pixels(), SpriteMax);
        put(target.pixels(), TargetMax);
        put(&videoStatistics, sizeof videoStatistics);
    }

private:
    Bitmap& pushRegion()
    {
        ZelBitmap::pushClipRgn(targetBlock.h, ZelClipRgn{});
        return *spriteBlock.h.get();
    }
};

const char* const callNames[] = {"putImage transparent", "putLetter", "PutAggregate transparent",
                                 "ZelBitmap::put transparent", "putXorBar", "putXorHLine", "putXorRectangle"};
constexpr int Calls = std::size(callNames);

// Draws every call from the same start on the given path, keeping the state
// after each.
template <class Draw>
void drawAll(CpuPath path, Draw draw, const Scene& scene, const Bytes& screenStart, const Bytes& targetStart,
             Bytes& states)
{
    selectCpuPath(path);
    std::memcpy(scene.screen.bitmap().pixels(), screenStart.data(), screenStart.size());
    std::memcpy(scene.target.pixels(), targetStart.data(), targetStart.size());
    for (int c = 0; c < Calls; ++c) {
        draw(c);
        scene.save(states.data() + c * Scene::StateBytes);
    }
}

TEST_P(WidePath, BlitsAndXorFiguresMatchThePlainPathOnClippedScreens)
{
    constexpr int W = Scene::W, H = Scene::H;
    Scene scene;
    Bitmap& sprite = scene.sprite;
    Bitmap& target = scene.target;
    Bytes expected(Calls * Scene::StateBytes), got(expected.size());
    PixelSource px(19);
    for (int k = 0; k < 600; ++k) {
        // Regions anywhere on the screen and the target, with drawing origins.
        const int left = px.between(0, 60), top = px.between(0, 3);
        scene.screen.setRegion(left, top, px.between(left, W), px.between(top, H), px.between(-30, 30),
                               px.between(-3, 3));
        const int w = px.between(1, 200), h = px.between(1, 4);
        sprite.width = w;
        sprite.height = h;
        target.width = px.between(1, 220);
        target.height = px.between(1, 6);
        *target.clipRgn() = ZelClipRgn{px.between(0, std::min(20, target.width)), px.between(0, 1), target.width,
                                       target.height, px.between(-20, 20), px.between(-2, 2), {}};
        px.fill(sprite.pixels(), Scene::SpriteMax);
        sprite.originX = px.between(-10, w + 10);
        sprite.originY = px.between(-2, h + 2);
        const Bytes screenStart = px.bytes(W * H), targetStart = px.bytes(Scene::TargetMax);

        const int firstRow = px.between(0, h - 1), rows = px.between(1, h - firstRow);
        int x[Calls], y[Calls];
        for (int c = 0; c < Calls; ++c) {
            x[c] = px.between(c < 4 ? -220 : -60, W);
            y[c] = px.between(-5, H);
        }
        const unsigned char colour = px.byte(), mask = px.byte();
        const int barW = px.between(-2, W), barH = px.between(-1, H);
        const auto draw = [&](int c) {
            const HClass<Bitmap> b = scene.spriteBlock.h;
            switch (c) {
            case 0: return putImage(x[c], y[c], b, 0);
            case 1: return putLetter(x[c], y[c], b, colour);
            case 2: return ZelBitmap::PutAggregate(x[c], y[c], firstRow * w, rows, b, 1);
            case 3: return scene.spriteBlock->put(ZelVector2{x[c], y[c]}, 1, scene.targetBlock.h);
            case 4: return putXorBar(x[c], y[c], barW, barH, mask);
            case 5: return putXorHLine(x[c], y[c], barW, mask);
            default: return putXorRectangle(x[c], y[c], barW, barH, mask);
            }
        };
        drawAll(CpuPath::Plain, draw, scene, screenStart, targetStart, expected);
        drawAll(GetParam(), draw, scene, screenStart, targetStart, got);
        if (got == expected)
            continue;
        const size_t at = *firstDifference(got, expected);
        FAIL() << "case " << k << ", after " << callNames[at / Scene::StateBytes] << " (sprite " << w << " x " << h
               << "): first difference at state byte " << at % Scene::StateBytes << " (the screen's "
               << W * H << " bytes come first)";
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, WidePath, testing::Values(CpuPath::Sse2, CpuPath::Avx2),
                         [](const testing::TestParamInfo<CpuPath>& info) { return zeltest::cpuPathName(info.param); });

// Any path, in use for the whole test.
class EveryPath : public OnPath {
protected:
    void SetUp() override
    {
        OnPath::SetUp();
        selectCpuPath(GetParam());
    }
};

// Rows of 39 pixels take every lane width of every path: 32 or 16 at a time,
// then 4, then single bytes.
TEST_P(EveryPath, LongRowsFollowTheGlyphTransparencyAndXorRules)
{
    ScreenSetup s(40, 2, 5);
    TestBitmap glyph(39, 1, "12.3#12.3#12.3#12.3#12.3#12.3#12.3#12.3\n");
    putLetter(0, 0, glyph.h, 10);  // v becomes 10 + v - 1; 255 wraps to 8
    putImage(0, 1, glyph.h, 0);
    EXPECT_EQ(zeltest::picture(s.bitmap()),
              "ab5c8ab5c8ab5c8ab5c8ab5c8ab5c8ab5c8ab5c5\n"
              "1253#1253#1253#1253#1253#1253#1253#12535\n");
    putXorHLine(0, 0, 39, 3);
    EXPECT_EQ(zeltest::picture(s.bitmap()).substr(0, 41), "986fb986fb986fb986fb986fb986fb986fb986f5\n");
}

INSTANTIATE_TEST_SUITE_P(Paths, EveryPath, testing::Values(CpuPath::Plain, CpuPath::Sse2, CpuPath::Avx2),
                         [](const testing::TestParamInfo<CpuPath>& info) { return zeltest::cpuPathName(info.param); });

// The comparisons above are only worth something if selecting a path really
// switches kernels.
TEST(CpuPaths, EachPathHasItsOwnKernelsAndSelectingOneTakesEffect)
{
    PathGuard guard;
    const CpuPath widest = widestCpuPath();
    EXPECT_GE(widest, CpuPath::Sse2);  // the x86-64 baseline
    for (CpuPath p : {CpuPath::Plain, CpuPath::Sse2, CpuPath::Avx2}) {
        if (p > widest)
            continue;
        ASSERT_TRUE(selectCpuPath(p)) << zeltest::cpuPathName(p);
        EXPECT_EQ(cpuPath(), p);
        if (p != CpuPath::Plain) {
            EXPECT_NE(&rowKernels(p), &rowKernels(CpuPath::Plain)) << zeltest::cpuPathName(p);
        }
    }
    if (widest >= CpuPath::Avx2) {
        EXPECT_NE(&rowKernels(CpuPath::Avx2), &rowKernels(CpuPath::Sse2));
    }

    // A path beyond this CPU is refused and leaves the choice alone.
    selectCpuPath(CpuPath::Plain);
    const auto beyond = static_cast<CpuPath>(static_cast<int>(widest) + 1);
    EXPECT_FALSE(selectCpuPath(beyond));
    EXPECT_EQ(cpuPath(), CpuPath::Plain);
    EXPECT_EQ(&rowKernels(beyond), &rowKernels(widest));
}

// ZEL_CPU is read as the library loads, so it is tried in a fresh process;
// the widest path is never the plain one, so ignoring it would show.
TEST(CpuPaths, TheEnvironmentChoosesThePathAtLoad)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* before = getenv("ZEL_CPU");
    const std::string saved = before ? before : "";
    setenv("ZEL_CPU", "Plain", 1);
    EXPECT_EXIT(std::exit(cpuPath() == CpuPath::Plain ? 0 : 1), testing::ExitedWithCode(0), "");
    if (before)
        setenv("ZEL_CPU", saved.c_str(), 1);
    else
        unsetenv("ZEL_CPU");
}

}  // namespace
