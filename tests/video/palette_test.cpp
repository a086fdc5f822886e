// Palette loading with gamma correction, the relay to the driver, the fades,
// gamma changes, the shake and the statistics. Driver services are replaced
// by recorders; files live in a temporary data root.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "test_support.h"
#include "video/driver.h"
#include "video/palette.h"
#include "video/screen.h"

namespace fs = std::filesystem;

namespace {

using Palette = std::array<unsigned char, ZelPaletteBytes>;

struct SentPalette {
    unsigned short first;
    unsigned short count;
    Palette rgb;  // the first count entries as received
};

// What the recorders saw, in order: 'p' palette to the driver, 'd'
// disableLowerBar, 'r' refresh, 'c' callback.
std::string events;
std::vector<SentPalette> sent;
std::vector<int> shakes;

void recordPalette(unsigned short first, unsigned short count, unsigned char* rgb)
{
    SentPalette s{first, count, {}};
    std::memcpy(s.rgb.data(), rgb, std::min<size_t>(count, 256) * 3);
    sent.push_back(s);
    events += 'p';
}
void recordDisableLowerBar() { events += 'd'; }
void recordRefresh() { events += 'r'; }
void recordShake(int amount) { shakes.push_back(amount); }

// Each component lowered by level, never below 0.
Palette darkened(const Palette& p, int level)
{
    Palette out;
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<unsigned char>(p[i] > level ? p[i] - level : 0);
    return out;
}

Palette toPalette(const unsigned char* bytes)
{
    Palette p;
    std::memcpy(p.data(), bytes, p.size());
    return p;
}

class PaletteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zelpalXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        fs::create_directories(dir + "/CDDATA/SYSTEM");
        ZelSystem::SetRegistryString("ufsroot", dir.c_str());

        savedDriverSetPalette = driverSetPalette;
        savedDriverShake = driverShake;
        savedSetPalette = ::setPalette;
        savedDisableLowerBar = disableLowerBar;
        savedRefresh = refresh;
        savedGammaOffset = gammaOffset;
        std::memcpy(savedPaletteName, paletteName, sizeof paletteName);
        std::memcpy(savedPalettes, palettes, sizeof palettes);
        std::memcpy(savedShadow, paletteShadow, sizeof paletteShadow);
        savedStatistics = videoStatistics;

        driverSetPalette = recordPalette;
        driverShake = nullptr;
        ::setPalette = paletteRelay;
        disableLowerBar = recordDisableLowerBar;
        refresh = recordRefresh;
        gammaOffset = 0.0f;
        events.clear();
        sent.clear();
        shakes.clear();
        liveBlocks = zeltest::liveBlockCount();
    }

    void TearDown() override
    {
        EXPECT_EQ(zeltest::liveBlockCount(), liveBlocks);
        driverSetPalette = savedDriverSetPalette;
        driverShake = savedDriverShake;
        ::setPalette = savedSetPalette;
        disableLowerBar = savedDisableLowerBar;
        refresh = savedRefresh;
        gammaOffset = savedGammaOffset;
        std::memcpy(paletteName, savedPaletteName, sizeof paletteName);
        std::memcpy(palettes, savedPalettes, sizeof palettes);
        std::memcpy(paletteShadow, savedShadow, sizeof paletteShadow);
        videoStatistics = savedStatistics;
        ZelSystem::SetRegistryString("ufsroot", nullptr);
        ZelSystem::SetRegistryString("GammaCorr", nullptr);
        fs::remove_all(dir);
    }

    // Writes a file into the data root's system directory; returns its path.
    std::string putSystem(const std::string& name, const std::vector<unsigned char>& bytes) const
    {
        return put(dir + "/CDDATA/SYSTEM/" + name, bytes);
    }
    static std::string put(const std::string& path, const std::vector<unsigned char>& bytes)
    {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }
    static int openDescriptors()
    {
        return static_cast<int>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
    }

    std::string dir;
    size_t liveBlocks = 0;

private:
    ZelSetPaletteFn savedDriverSetPalette;
    ZelShakeFn savedDriverShake;
    void (*savedSetPalette)(unsigned short, unsigned short, unsigned char*);
    void (*savedDisableLowerBar)();
    void (*savedRefresh)();
    float savedGammaOffset;
    char savedPaletteName[sizeof paletteName];
    unsigned char savedPalettes[ZelPaletteSlots][ZelPaletteBytes];
    unsigned char savedShadow[ZelPaletteBytes];
    ZelVideoStatistics savedStatistics;
};

// A file whose first bytes are the interesting cases, the rest a ramp.
std::vector<unsigned char> paletteFile(size_t size = ZelPaletteBytes)
{
    std::vector<unsigned char> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7);
    const unsigned char head[] = {255, 3, 0, 128, 4, 6, 7, 252};
    std::memcpy(bytes.data(), head, sizeof head);
    return bytes;
}

// ---------------------------------------------------------------------------
// Loading

TEST_F(PaletteTest, LoadAddsGammaOffsetClampsAndTruncates)
{
    putSystem("ramp.pal", paletteFile());
    struct Case {
        float offset;
        std::array<int, 8> head;  // converted {255, 3, 0, 128, 4, 6, 7, 252}
    };
    const Case cases[] = {
        {0.0f, {63, 0, 0, 32, 1, 1, 1, 63}},
        {16.0f, {63, 16, 16, 48, 17, 17, 17, 63}},
        {-16.0f, {47, 0, 0, 16, 0, 0, 0, 47}},
        {0.75f, {63, 0, 0, 32, 1, 1, 1, 63}},   // 1.75 truncates to 1, 63.75 clamps
        {-0.5f, {62, 0, 0, 31, 0, 0, 0, 62}},   // 0.5 and -0.5 both give 0
        {200.0f, {63, 63, 63, 63, 63, 63, 63, 63}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        gammaOffset = c.offset;
        ASSERT_EQ(ZelVideo::loadPalette("ramp.pal", 2), -1);
        for (size_t i = 0; i < c.head.size(); ++i)
            EXPECT_EQ(palettes[2][i], c.head[i]) << "byte " << i;
    }
}

TEST_F(PaletteTest, LoadNeedsAWhole768BytesAndIgnoresTheRest)
{
    std::vector<unsigned char> longFile = paletteFile(1000);
    putSystem("long.pal", longFile);
    std::memset(palettes[8], 0xEE, ZelPaletteBytes);
    ASSERT_EQ(ZelVideo::loadPalette("long.pal", 7), -1);
    for (int i = 0; i < ZelPaletteBytes; ++i)
        ASSERT_EQ(palettes[7][i], longFile[i] >> 2) << "byte " << i;
    EXPECT_EQ(palettes[8][0], 0xEE);  // nothing spills into the next slot

    // A file one byte short fails; what was read stays, unconverted.
    std::vector<unsigned char> shortFile(767, 200);
    putSystem("short.pal", shortFile);
    std::memset(palettes[7], 0x11, ZelPaletteBytes);
    EXPECT_EQ(ZelVideo::loadPalette("short.pal", 7), 0);
    EXPECT_EQ(palettes[7][0], 200);
    EXPECT_EQ(palettes[7][764], 200);
}

TEST_F(PaletteTest, OnlySlotZeroRecordsTheName)
{
    putSystem("named.pal", paletteFile());
    std::strcpy(paletteName, "before.pal");

    EXPECT_EQ(ZelVideo::loadPalette("named.pal", 16), 0);
    EXPECT_STREQ(paletteName, "before.pal");

    EXPECT_EQ(ZelVideo::loadPalette("named.pal", 5), -1);
    EXPECT_STREQ(paletteName, "before.pal");
    EXPECT_EQ(palettes[5][0], 63);

    // The name is taken before the file is looked for, even if it is missing.
    EXPECT_EQ(ZelVideo::loadPalette("missing.pal", 0), 0);
    EXPECT_STREQ(paletteName, "missing.pal");
    EXPECT_EQ(ZelVideo::loadPalette("named.pal", 0), -1);
    EXPECT_STREQ(paletteName, "named.pal");
}

TEST_F(PaletteTest, LoadFallsBackToTheDiskByPlainName)
{
    std::string path = put(dir + "/outside.pal", paletteFile());
    EXPECT_EQ(ZelVideo::loadPalette(path.c_str(), 3), -1);
    EXPECT_EQ(palettes[3][3], 32);
    EXPECT_EQ(ZelVideo::loadPalette((dir + "/nowhere.pal").c_str(), 3), 0);
}

// Files from the file system are ended by destroying them, disk files are
// closed first; either way no descriptor may stay open.
TEST_F(PaletteTest, LoadLeavesNoFileOpen)
{
    putSystem("ufs.pal", paletteFile());
    putSystem("ufsshort.pal", std::vector<unsigned char>(10));
    std::string disk = put(dir + "/disk.pal", paletteFile());
    std::string diskShort = put(dir + "/diskshort.pal", std::vector<unsigned char>(10));
    int descriptors = openDescriptors();
    EXPECT_EQ(ZelVideo::loadPalette("ufs.pal", 1), -1);
    EXPECT_EQ(ZelVideo::loadPalette("ufsshort.pal", 1), 0);
    EXPECT_EQ(ZelVideo::loadPalette(disk.c_str(), 1), -1);
    EXPECT_EQ(ZelVideo::loadPalette(diskShort.c_str(), 1), 0);
    EXPECT_EQ(openDescriptors(), descriptors);
}

// ---------------------------------------------------------------------------
// Relay and sending

TEST_F(PaletteTest, RelayKeepsACopyOfTheEntriesItPasses)
{
    std::memset(paletteShadow, 0xAA, sizeof paletteShadow);
    unsigned char rgb[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    paletteRelay(10, 2, rgb);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first, 10);
    EXPECT_EQ(sent[0].count, 2);
    for (int i = 0; i < ZelPaletteBytes; ++i) {
        int expected = i >= 30 && i < 36 ? i - 29 : 0xAA;
        ASSERT_EQ(paletteShadow[i], expected) << "byte " << i;
    }
    Palette read;
    EXPECT_EQ(getPalette(read.data()), -1);
    EXPECT_EQ(read, toPalette(paletteShadow));

    // Past the last entry nothing is copied, but the driver still hears of it.
    paletteRelay(255, 3, rgb);
    EXPECT_EQ(paletteShadow[765], 1);
    EXPECT_EQ(paletteShadow[767], 3);
    paletteRelay(300, 1, rgb);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2].first, 300);

    // Without a driver service the copy is still kept.
    driverSetPalette = nullptr;
    paletteRelay(0, 1, rgb);
    EXPECT_EQ(paletteShadow[0], 1);
}

TEST_F(PaletteTest, SetPaletteSendsASlotThroughTheRelay)
{
    for (int i = 0; i < ZelPaletteBytes; ++i)
        palettes[4][i] = static_cast<unsigned char>(i % 64);
    ZelVideo::setPalette(4);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first, 0);
    EXPECT_EQ(sent[0].count, 256);
    EXPECT_EQ(sent[0].rgb, toPalette(palettes[4]));
    EXPECT_EQ(toPalette(paletteShadow), toPalette(palettes[4]));

    ::setPalette = nullptr;  // before a driver is linked
    ZelVideo::setPalette(4);
    EXPECT_EQ(sent.size(), 1u);
}

// ---------------------------------------------------------------------------
// Fades

class FadeTest : public PaletteTest {
protected:
    void SetUp() override
    {
        PaletteTest::SetUp();
        liveBlocks = zeltest::liveBlockCount() + 1;  // the palette below is freed by TearDown
        ASSERT_EQ(handle.alloc(ZelPaletteBytes), -1);
        for (int i = 0; i < ZelPaletteBytes; ++i)
            source[i] = static_cast<unsigned char>(i % 5 == 0 ? 255 : i % 64);
        std::memcpy(handle.get(), source.data(), source.size());
        for (int i = 0; i < ZelPaletteBytes; ++i)
            before[i] = static_cast<unsigned char>(i % 3);
        paletteRelay(0, 256, before.data());
        sent.clear();
        events.clear();
        elapsed.clear();
    }
    void TearDown() override
    {
        PaletteTest::TearDown();
        handle.release();
        ZelMem::SetMoveOnAlloc(savedMove);
    }

    // Notes its call and the elapsed time it was given.
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

    static std::string repeated(const std::string& s, int n)
    {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += s;
        return out;
    }

    static inline HSimple<unsigned char> handle;
    static inline std::vector<int> elapsed;
    Palette source;
    Palette before;
    bool savedMove = ZelMem::MoveOnAlloc();
};

TEST_F(FadeTest, FadeOutShowsLevels0To62ThenBlack)
{
    ZelVideo::FadeOut(63, handle, noteElapsed);  // below 64 ms: no wait, still every step
    EXPECT_EQ(events, "cpd" + repeated("cp", 62) + "p");
    ASSERT_EQ(sent.size(), 64u);
    for (int level = 0; level < 63; ++level) {
        EXPECT_EQ(sent[level].first, 0);
        EXPECT_EQ(sent[level].count, 256);
        ASSERT_EQ(sent[level].rgb, darkened(source, level)) << "level " << level;
    }
    EXPECT_EQ(sent[0].rgb, source);
    EXPECT_EQ(sent[63].rgb, Palette{});
    for (int ms : elapsed)
        EXPECT_GE(ms, 0);

    // The fade goes around the relay: getPalette still answers what it sent.
    Palette read;
    getPalette(read.data());
    EXPECT_EQ(read, before);
    EXPECT_EQ(toPalette(handle.get()), source);
}

TEST_F(FadeTest, FadeInShowsBlackThenLevels63To1ThenThePalette)
{
    ZelMem::SetMoveOnAlloc(true);  // the callback moves the palette's block
    ZelVideo::FadeIn(-100, handle, allocateMeanwhile);
    EXPECT_EQ(events, "pdr" + repeated("cp", 63) + "p");
    ASSERT_EQ(sent.size(), 65u);
    EXPECT_EQ(sent[0].rgb, Palette{});
    for (int step = 0; step < 63; ++step)
        ASSERT_EQ(sent[1 + step].rgb, darkened(source, 63 - step)) << "step " << step;
    EXPECT_EQ(sent[64].rgb, source);

    Palette read;
    getPalette(read.data());
    EXPECT_EQ(read, source);
}

TEST_F(FadeTest, MissingServicesAreSkippedAndAnUnresolvedPaletteDoesNothing)
{
    driverSetPalette = nullptr;
    ::setPalette = nullptr;
    disableLowerBar = nullptr;
    refresh = nullptr;
    ZelVideo::FadeOut(0, handle, noteElapsed);
    ZelVideo::FadeIn(0, handle, noteElapsed);
    EXPECT_EQ(events, repeated("c", 126));

    events.clear();
    HSimple<unsigned char> none;
    ZelVideo::FadeOut(640, none, noteElapsed);
    ZelVideo::FadeIn(640, none, noteElapsed);
    EXPECT_EQ(events, "");
}

TEST_F(FadeTest, EveryStepLastsAtLeastA64thOfTheDuration)
{
    const int duration = 128;  // 2 ms a step
    int64_t frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    ZelVideo::FadeOut(duration, handle, noteElapsed);
    QueryPerformanceCounter(&end);
    ASSERT_EQ(elapsed.size(), 63u);
    for (int ms : elapsed)
        EXPECT_GE(ms, duration >> 6);
    EXPECT_GE((end - start) * 1000 / frequency, 63 * (duration >> 6));
}

// ---------------------------------------------------------------------------
// Gamma, shake, statistics

TEST_F(PaletteTest, SetGammaCorrectionReloadsSlotZeroAndSendsIt)
{
    putSystem("gamma.pal", paletteFile());
    ASSERT_EQ(ZelVideo::loadPalette("gamma.pal", 0), -1);
    ASSERT_EQ(ZelVideo::loadPalette("gamma.pal", 1), -1);
    Palette slot1 = toPalette(palettes[1]);

    ZelVideo::SetGammaCorrection(1.5f);
    EXPECT_FLOAT_EQ(gammaOffset, 16.0f);
    EXPECT_EQ(palettes[0][1], 16);  // file byte 3
    EXPECT_EQ(toPalette(palettes[1]), slot1);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].count, 256);
    EXPECT_EQ(sent[0].rgb, toPalette(palettes[0]));
    EXPECT_EQ(toPalette(paletteShadow), toPalette(palettes[0]));

    // When the file is gone, slot 0 keeps its contents and is sent anyway.
    fs::remove(dir + "/CDDATA/SYSTEM/gamma.pal");
    ZelVideo::SetGammaCorrection(0.5f);
    EXPECT_FLOAT_EQ(gammaOffset, -16.0f);
    EXPECT_EQ(palettes[0][1], 16);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].rgb, toPalette(palettes[0]));
}

TEST_F(PaletteTest, ShakeGoesToTheDriverWhenItHasTheService)
{
    ZelVideo::Shake(5);
    EXPECT_TRUE(shakes.empty());
    driverShake = recordShake;
    ZelVideo::Shake(7);
    ZelVideo::Shake(-2);
    EXPECT_EQ(shakes, (std::vector<int>{7, -2}));
}

TEST_F(PaletteTest, InitStatClearsTheCountersAndReadsGammaCorr)
{
    videoStatistics = {1, 2, 3, 4, 5, 6, 7, 8};
    ZelVideoStatistics out{};
    ZelVideo::getStat(&out);
    EXPECT_EQ(std::memcmp(&out, &videoStatistics, sizeof out), 0);

    const std::pair<const char*, float> cases[] = {
        {"1.5", 16.0f}, {"0.5", -16.0f}, {"abc", -32.0f}, {"1.0", 0.0f}, {"2", 32.0f}};
    for (auto [text, offset] : cases) {
        SCOPED_TRACE(text);
        ZelSystem::SetRegistryString("GammaCorr", text);
        ZelVideo::initStat();
        EXPECT_FLOAT_EQ(gammaOffset, offset);
    }
    ZelVideo::getStat(&out);
    const ZelVideoStatistics zero{};
    EXPECT_EQ(std::memcmp(&out, &zero, sizeof out), 0);
}

}  // namespace
