// Palette loading with gamma correction, the relay to the driver, the fades,
// gamma changes and the statistics. Driver services are replaced by
// recorders; files live in a temporary data root.

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/platform.h"
#include "test_support.h"
#include "video/driver.h"
#include "video/palette.h"
#include "video/screen.h"

namespace {

using Palette = std::array<unsigned char, ZelPaletteBytes>;
using Bytes = std::vector<unsigned char>;

// What the recorders saw, in order: 'p' a palette to the driver (kept in
// sent), 'd' disableLowerBar, 'r' refresh, 'c' the fade's callback.
std::string events;
struct Sent {
    unsigned short first, count;
    Palette rgb;  // the first count entries as received
};
std::vector<Sent> sent;

void recordPalette(unsigned short first, unsigned short count, unsigned char* rgb)
{
    Sent s{first, count, {}};
    std::memcpy(s.rgb.data(), rgb, std::min<size_t>(count, 256) * 3);
    sent.push_back(s);
    events += 'p';
}

Palette toPalette(const unsigned char* bytes)
{
    Palette p;
    std::memcpy(p.data(), bytes, p.size());
    return p;
}

// Each component lowered by level, never below 0.
Palette darkened(const Palette& p, int level)
{
    Palette out;
    std::transform(p.begin(), p.end(), out.begin(), [level](unsigned char v) { return v > level ? v - level : 0; });
    return out;
}

// A file whose first bytes are the interesting cases, the rest a ramp.
Bytes paletteFile(size_t size = ZelPaletteBytes)
{
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7);
    const unsigned char head[] = {255, 3, 0, 128, 4, 6, 7, 252};
    std::copy(std::begin(head), std::end(head), bytes.begin());
    return bytes;
}

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir.path + "/CDDATA/SYSTEM");
        ZelSystem::SetRegistryString("ufsroot", dir.path.c_str());
        driverSetPalette = recordPalette;
        ::setPalette = paletteRelay;
        disableLowerBar = [] { events += 'd'; };
        refresh = [] { events += 'r'; };
        gammaOffset = 0.0f;
        events.clear();
        sent.clear();
    }
    void TearDown() override
    {
        EXPECT_EQ(zeltest::liveBlockCount(), liveBlocks);
        ZelSystem::SetRegistryString("ufsroot", nullptr);
        ZelSystem::SetRegistryString("GammaCorr", nullptr);
    }
    void putSystem(const std::string& name, const Bytes& bytes) const
    {
        zeltest::writeFile(dir.path + "/CDDATA/SYSTEM/" + name, bytes);
    }
    zeltest::TempDir dir;
    size_t liveBlocks = zeltest::liveBlockCount();
    zeltest::Restore keep{driverSetPalette, ::setPalette, disableLowerBar, refresh, gammaOffset,
                          paletteName,      palettes,     paletteShadow,   videoStatistics};
};

TEST_F(PaletteTest, LoadAddsGammaOffsetClampsTruncatesAndNeedsWholeFiles)
{
    putSystem("ramp.pal", paletteFile(1000));  // bytes past 768 are ignored
    const std::pair<float, std::array<int, 8>> cases[] = {  // converted {255, 3, 0, 128, 4, 6, 7, 252}
        {0.0f, {63, 0, 0, 32, 1, 1, 1, 63}},      {16.0f, {63, 16, 16, 48, 17, 17, 17, 63}},
        {-16.0f, {47, 0, 0, 16, 0, 0, 0, 47}},    {0.75f, {63, 0, 0, 32, 1, 1, 1, 63}},
        {-0.5f, {62, 0, 0, 31, 0, 0, 0, 62}},     {200.0f, {63, 63, 63, 63, 63, 63, 63, 63}},
    };
    std::memset(palettes[3], 0xEE, ZelPaletteBytes);
    for (const auto& [offset, head] : cases) {
        gammaOffset = offset;
        ASSERT_EQ(ZelVideo::loadPalette("ramp.pal", 2), -1);
        EXPECT_EQ(std::vector<int>(palettes[2], palettes[2] + 8), std::vector<int>(head.begin(), head.end())) << offset;
    }
    gammaOffset = 0.0f;
    ASSERT_EQ(ZelVideo::loadPalette("ramp.pal", 2), -1);
    EXPECT_EQ(palettes[2][767], static_cast<unsigned char>(767 * 7) >> 2);
    EXPECT_EQ(palettes[3][0], 0xEE);  // nothing spills into the next slot
    putSystem("short.pal", Bytes(767, 200));
    EXPECT_EQ(ZelVideo::loadPalette("short.pal", 7), 0);

    // Only slot 0 records the name, taken before the file is looked for.
    std::strcpy(paletteName, "before.pal");
    EXPECT_EQ(ZelVideo::loadPalette("ramp.pal", 16), 0);  // no such slot
    EXPECT_EQ(ZelVideo::loadPalette("missing.pal", 5), 0);
    EXPECT_STREQ(paletteName, "before.pal");
    EXPECT_EQ(ZelVideo::loadPalette("missing.pal", 0), 0);
    EXPECT_STREQ(paletteName, "missing.pal");

    // Disk files are found by path when the file system has nothing.
    const std::string disk = dir.path + "/disk.pal";
    zeltest::writeFile(disk, paletteFile());
    const int descriptors = zeltest::openDescriptors();
    std::memset(palettes[1], 0, ZelPaletteBytes);
    EXPECT_EQ(ZelVideo::loadPalette(disk.c_str(), 1), -1);
    EXPECT_EQ(palettes[1][3], 32);
    EXPECT_EQ(zeltest::openDescriptors(), descriptors);
}

TEST_F(PaletteTest, RelayKeepsACopyOfTheEntriesItPassesAndSetPaletteSendsASlot)
{
    std::memset(paletteShadow, 0xAA, sizeof paletteShadow);
    unsigned char rgb[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    paletteRelay(10, 2, rgb);
    Palette expected, read;
    expected.fill(0xAA);
    std::memcpy(expected.data() + 30, rgb, 6);
    EXPECT_EQ(getPalette(read.data()), -1);
    EXPECT_EQ(read, expected);
    // Past the last entry nothing is copied, but the driver still hears of it.
    paletteRelay(255, 3, rgb);
    EXPECT_EQ(paletteShadow[767], 3);
    paletteRelay(300, 1, rgb);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2].first, 300);
    driverSetPalette = nullptr;  // without a driver service the copy is still kept
    paletteRelay(0, 1, rgb);
    EXPECT_EQ(paletteShadow[0], 1);
    driverSetPalette = recordPalette;
    paletteRelay(0, 256, nullptr);  // no colours: nothing kept, nothing sent
    EXPECT_EQ(sent.size(), 3u);
    sent.clear();
    for (int i = 0; i < ZelPaletteBytes; ++i)
        palettes[4][i] = static_cast<unsigned char>(i % 64);
    ZelVideo::setPalette(4);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].count, 256);
    EXPECT_EQ(sent[0].rgb, toPalette(palettes[4]));
    EXPECT_EQ(toPalette(paletteShadow), toPalette(palettes[4]));
    ::setPalette = nullptr;  // before a driver is linked
    ZelVideo::setPalette(4);
    EXPECT_EQ(sent.size(), 1u);
}

class Fade : public PaletteTest {
protected:
    void SetUp() override
    {
        PaletteTest::SetUp();
        ASSERT_EQ(handle.alloc(ZelPaletteBytes), -1);
        for (int i = 0; i < ZelPaletteBytes; ++i) {
            handle.get()[i] = source[i] = static_cast<unsigned char>(i % 5 == 0 ? 255 : i % 64);
            before[i] = static_cast<unsigned char>(i % 3);
        }
        paletteRelay(0, 256, before.data());
        sent.clear();
        events.clear();
        elapsed.clear();
    }
    void TearDown() override
    {
        handle.release();
        PaletteTest::TearDown();
        ZelMem::SetMoveOnAlloc(savedMove);
    }
    static int noteElapsed(int ms)
    {
        events += 'c';
        elapsed.push_back(ms);
        return 0;
    }
    // As noteElapsed, and moves every movable block meanwhile.
    static int allocateMeanwhile(int ms)
    {
        HSimple<unsigned char> scratch;
        scratch.alloc(16);
        scratch.release();
        return noteElapsed(ms);
    }
    static std::string times(int n, const std::string& s)
    {
        std::string out;
        while (n-- > 0)
            out += s;
        return out;
    }
    static inline HSimple<unsigned char> handle;
    static inline std::vector<int> elapsed;
    Palette source, before;
    bool savedMove = ZelMem::MoveOnAlloc();
};

// Levels 0 to 62, then black; each step lasts at least a 64th of the
// duration; the fade goes around the relay's copy.
TEST_F(Fade, OutShowsLevels0To62ThenBlack)
{
    const int duration = 128;
    int64_t frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    ZelVideo::FadeOut(duration, handle, noteElapsed);
    QueryPerformanceCounter(&end);
    EXPECT_GE((end - start) * 1000 / frequency, 63 * (duration >> 6));
    EXPECT_TRUE(std::all_of(elapsed.begin(), elapsed.end(), [](int ms) { return ms >= 2; }));
    EXPECT_EQ(events, "cpd" + times(62, "cp") + "p");
    ASSERT_EQ(sent.size(), 64u);
    for (int level = 0; level < 63; ++level)
        ASSERT_TRUE(sent[level].count == 256 && sent[level].rgb == darkened(source, level)) << level;
    EXPECT_EQ(sent[63].rgb, Palette{});
    Palette read;
    getPalette(read.data());
    EXPECT_EQ(read, before);
    EXPECT_EQ(toPalette(handle.get()), source);
}

TEST_F(Fade, InShowsBlackThenLevels63To1ThenThePalette)
{
    ZelMem::SetMoveOnAlloc(true);  // the callback moves the palette's block
    ZelVideo::FadeIn(-100, handle, allocateMeanwhile);
    EXPECT_EQ(events, "pdr" + times(63, "cp") + "p");
    ASSERT_EQ(sent.size(), 65u);
    EXPECT_EQ(sent[0].rgb, Palette{});
    for (int step = 0; step < 63; ++step)
        ASSERT_EQ(sent[1 + step].rgb, darkened(source, 63 - step)) << step;
    EXPECT_EQ(sent[64].rgb, source);
    Palette read;
    getPalette(read.data());
    EXPECT_EQ(read, source);
}

// A callback that frees the palette part-way: the later steps use the
// palette as last seen, and each fade still ends with its last step.
TEST_F(Fade, APaletteFreedPartWayStillGetsEveryStep)
{
    auto freeAtTenthStep = [](int ms) {
        if (noteElapsed(ms) == 0 && elapsed.size() == 10)
            handle.release();
        return 0;
    };
    ZelVideo::FadeOut(0, handle, freeAtTenthStep);
    EXPECT_EQ(events, "cpd" + times(62, "cp") + "p");
    ASSERT_EQ(sent.size(), 64u);
    EXPECT_EQ(sent[40].rgb, darkened(source, 40));
    EXPECT_EQ(sent[63].rgb, Palette{});
    ASSERT_EQ(handle.alloc(ZelPaletteBytes), -1);
    std::copy(source.begin(), source.end(), handle.get());
    events.clear();
    elapsed.clear();
    ZelVideo::FadeIn(0, handle, freeAtTenthStep);
    EXPECT_EQ(events, "pdr" + times(63, "cp") + "p");
    ASSERT_EQ(sent.size(), 64u + 65u);
    EXPECT_EQ(sent.back().rgb, source);
}

TEST_F(Fade, MissingServicesAreSkippedAndAnUnresolvedPaletteDoesNothing)
{
    driverSetPalette = nullptr;
    ::setPalette = nullptr;
    disableLowerBar = refresh = nullptr;
    ZelVideo::FadeOut(0, handle, noteElapsed);
    ZelVideo::FadeIn(0, handle, noteElapsed);
    EXPECT_EQ(events, times(126, "c"));
    events.clear();
    ZelVideo::FadeOut(640, HSimple<unsigned char>(), noteElapsed);
    ZelVideo::FadeIn(640, HSimple<unsigned char>(), noteElapsed);
    EXPECT_EQ(events, "");
}

// Gamma: slot 0 reloaded (or kept when its file is gone) and sent; the
// statistics read GammaCorr and clear the counters.
TEST_F(PaletteTest, GammaCorrectionAndStatistics)
{
    putSystem("gamma.pal", paletteFile());
    ASSERT_EQ(ZelVideo::loadPalette("gamma.pal", 0), -1);
    ZelVideo::SetGammaCorrection(1.5f);
    EXPECT_FLOAT_EQ(gammaOffset, 16.0f);
    EXPECT_EQ(palettes[0][1], 16);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].rgb, toPalette(palettes[0]));
    std::filesystem::remove(dir.path + "/CDDATA/SYSTEM/gamma.pal");
    ZelVideo::SetGammaCorrection(0.5f);
    EXPECT_FLOAT_EQ(gammaOffset, -16.0f);
    EXPECT_EQ(palettes[0][1], 16);
    EXPECT_EQ(sent.size(), 2u);

    videoStatistics = {1, 2, 3, 4, 5, 6, 7, 8};
    ZelVideoStatistics out{};
    ZelVideo::getStat(&out);
    EXPECT_EQ(std::memcmp(&out, &videoStatistics, sizeof out), 0);
    for (auto [text, offset] : {std::pair{"1.5", 16.0f}, {"abc", -32.0f}, {"2", 32.0f}, {nullptr, 0.0f}}) {
        ZelSystem::SetRegistryString("GammaCorr", text);
        ZelVideo::initStat();
        EXPECT_FLOAT_EQ(gammaOffset, offset) << (text ? text : "unset");
    }
    ZelVideo::getStat(&out);
    EXPECT_EQ(out.zoomCalls | out.zoomMuls | out.rotCalls | out.rotMuls | out.scaleCalls | out.scaleMuls |
                  out.fillCalls | out.fillMuls,
              0u);
}

}  // namespace
