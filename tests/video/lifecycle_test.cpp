// Video start-up, change and shutdown from end to end with a test driver and
// system files written for each test.

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "draw/poly.h"
#include "driver_fixture.h"
#include "font/font.h"
#include "test_support.h"
#include "video/driver.h"
#include "video/palette.h"
#include "video/screen.h"

namespace {

const char* const Keep = reinterpret_cast<const char*>(-1);

class Lifecycle : public zeltest::DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        writeSystemFiles();
        setenv("ZEL_TESTDRV_SIZE", "32x20", 1);
    }
};

TEST_F(Lifecycle, InitBringsUpEverythingInOrder)
{
    ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
    EXPECT_EQ(ZelVideo::graphOn, -1);
    TestDriverState* s = stateOf(driverModule);
    ASSERT_NE(s, nullptr);

    // The screen was cleared to colour 1 before the one refresh.
    EXPECT_EQ(s->refreshes, 1);
    EXPECT_EQ(s->firstPixelAtRefresh, 1);
    EXPECT_EQ(s->refreshedBytesNotFirst, 0);

    // Palette slot 0 went to the display through the relay.
    EXPECT_EQ(std::memcmp(s->palette, palettes[0], 768), 0);
    EXPECT_EQ(std::memcmp(paletteShadow, palettes[0], 768), 0);
    EXPECT_EQ(palettes[0][3], 1 >> 2);
    EXPECT_EQ(palettes[0][4], 254 >> 2);
    EXPECT_EQ(ZelVideo::shadeDark[100], 2);
    EXPECT_EQ(ZelVideo::shadeLight[100], 3);

    ASSERT_NE(ZelVideo::lineOff, nullptr);
    EXPECT_EQ(ZelVideo::lineOff[1], 32);
    EXPECT_EQ(ZelVideo::lineOff[20], 32 * 20);
    EXPECT_EQ(ZelVideo::maxVideoMemory, videoMemory + 32 * 20 - 1);
    EXPECT_EQ(ZelFont::nFonts, 1);
    EXPECT_EQ(ZelFont::currentFont, ZelFont::fonts.get()[0].handle);
    EXPECT_TRUE(polyBuffer.resolves());
    EXPECT_EQ(ZelMem::GetPtrSize(gouraudBuffer.get()), 6144u);
    EXPECT_STREQ(ZelMem::GetPtrData(ZelVideo::lineOff), "lineOff");
}

TEST_F(Lifecycle, NullNamesUseTheConfiguration)
{
    ZelSystem::SetRegistryString("graphics", "testdrv");
    ZelSystem::SetRegistryString("palette", "test.pal");
    ZelSystem::SetRegistryString("font", "test.fnt");
    ASSERT_EQ(ZelVideo::init(nullptr, nullptr, nullptr), -1);
    EXPECT_STREQ(paletteName, "test.pal");
}

TEST_F(Lifecycle, ShadeFilesAreOptionalOnlyForAGivenPalette)
{
    writeFile("CDDATA/SYSTEM/bare.pal", std::string(768, '\x40'));
    EXPECT_EQ(ZelVideo::init("testdrv", "bare.pal", "test.fnt"), -1);
    ZelVideo::deinit();

    ZelSystem::SetRegistryString("palette", "bare.pal");
    EXPECT_EQ(ZelVideo::init("testdrv", nullptr, "test.fnt"), 0);
    EXPECT_EQ(ZelVideo::graphOn, 0);
}

TEST_F(Lifecycle, FailuresStopAtTheirStep)
{
    testing::internal::CaptureStdout();
    EXPECT_EQ(ZelVideo::init("nosuchdriver", "test.pal", "test.fnt"), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cannot find graphics driver: 'nosuchdriver.drv'\n");
    EXPECT_EQ(ZelVideo::graphOn, 0);
    EXPECT_TRUE(polyBuffer.resolves());  // left for deinitGraphics

    deinitGraphics();
    EXPECT_EQ(ZelVideo::init("testdrv", "test.pal", "missing.fnt"), 0);
    EXPECT_EQ(ZelFont::nFonts, 0);
    deinitGraphics();
    EXPECT_EQ(ZelVideo::init("testdrv", "missing.pal", "test.fnt"), 0);
    EXPECT_EQ(ZelFont::nFonts, 1);
    ZelVideo::deinit();  // nothing to do: video never came up
    EXPECT_EQ(ZelFont::nFonts, 1);
}

TEST_F(Lifecycle, ChangeKeepingEverythingOnlyResendsAndRebuilds)
{
    ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
    TestDriverState* s = stateOf(driverModule);
    const int paletteCalls = s->paletteCalls;
    const int refreshes = s->refreshes;
    ZelFont::currentFont = HClass<Fonts>();
    ZelVideo::lineOff[3] = -7;

    ASSERT_EQ(ZelVideo::change(Keep, Keep, Keep), -1);
    EXPECT_EQ(s->paletteCalls, paletteCalls + 1);
    EXPECT_EQ(s->refreshes, refreshes);
    EXPECT_EQ(ZelFont::currentFont, ZelFont::fonts.get()[0].handle);
    EXPECT_EQ(ZelVideo::lineOff[3], 3 * 32);
    EXPECT_EQ(ZelVideo::graphOn, -1);
}

TEST_F(Lifecycle, ChangeOfDriverRebuildsRowOffsets)
{
    ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
    setenv("ZEL_TESTDRV_SIZE", "50x60", 1);
    ASSERT_EQ(ZelVideo::change("testdrv2", Keep, "test.fnt"), -1);
    EXPECT_EQ(scrWidth, 50);
    EXPECT_EQ(ZelVideo::lineOff[60], 50 * 60);
    EXPECT_EQ(ZelVideo::maxVideoMemory, videoMemory + 50 * 60 - 1);
    EXPECT_EQ(ZelFont::nFonts, 2);  // earlier fonts stay loaded
}

TEST_F(Lifecycle, DeinitReleasesEverythingAndIsSafeToRepeat)
{
    ZelVideo::deinit();
    EXPECT_EQ(ZelVideo::graphOn, 0);

    ASSERT_EQ(ZelVideo::preload("testdrv"), -1);
    HMODULE preloaded = preloadTable[0].module;
    ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
    EXPECT_EQ(driverModule, preloaded);
    ZelVideo::deinit();
    EXPECT_FALSE(loaded(preloaded));  // unloaded exactly once
    EXPECT_EQ(ZelVideo::graphOn, 0);
    EXPECT_EQ(videoMemory, nullptr);
    EXPECT_TRUE(ZelBitmap::Screen.isNull());
    EXPECT_EQ(ZelVideo::shadeDark, nullptr);
    EXPECT_EQ(ZelVideo::lineOff, nullptr);
    EXPECT_TRUE(ZelFont::currentFont.isNull());
    EXPECT_FALSE(polyBuffer.resolves());
    EXPECT_EQ(zeltest::liveBlockCount(), liveBefore);
    ZelVideo::deinit();
}

// A program that ends with video still on gets the display back in text
// mode when the library is unloaded.
TEST_F(Lifecycle, ExitWithVideoOnReturnsToTextMode)
{
    const std::string mark = root + "/text-mode";
    setenv("ZEL_TESTDRV_TEXT_MODE_MARK", mark.c_str(), 1);
    EXPECT_EXIT(
        {
            zeltest::ignoreLeaksFromHere();  // the program ends with video on, on purpose
            if (ZelVideo::init("testdrv", "test.pal", "test.fnt") == -1)
                std::exit(0);
            std::exit(1);
        },
        testing::ExitedWithCode(0), "");
    unsetenv("ZEL_TESTDRV_TEXT_MODE_MARK");
    EXPECT_TRUE(std::filesystem::exists(mark));
}

TEST_F(Lifecycle, PreloadWithoutANameReadsTheConfiguration)
{
    ZelSystem::SetRegistryString("graphics", "testdrv");
    EXPECT_EQ(ZelVideo::preload(nullptr), -1);
    EXPECT_STREQ(preloadTable[0].name, "testdrv.drv");
    ZelSystem::SetRegistryString("graphics", "nosuchdriver");
    testing::internal::CaptureStdout();
    EXPECT_EQ(ZelVideo::preload(nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Could not find graphics driver: 'nosuchdriver.drv'\n");
}

}  // namespace
