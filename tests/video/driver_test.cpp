// Driver linking, preloading and switching with every message as printed,
// and video start-up, change and shutdown end to end with the test drivers.

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <gtest/gtest.h>

#include "cout_capture.h"
#include "draw/poly.h"
#include "driver_fixture.h"
#include "font/font.h"
#include "test_support.h"
#include "video/driver.h"
#include "video/palette.h"
#include "video/screen.h"

namespace {

const char* const Keep = reinterpret_cast<const char*>(-1);

// What a call printed, with its result in front: "-1 text".
template <class Call> std::string printed(Call call)
{
    zeltest::CoutCapture out;
    const int result = call();
    return std::to_string(result) + " " + out.text();
}

using Driver = zeltest::DriverTest;

TEST_F(Driver, LinkBuildsTheScreenAndServices)
{
    setenv("ZEL_TESTDRV_SIZE", "48x30", 1);
    ASSERT_EQ(printed([] { return setGraphicsDriver("testdrv"); }), "-1 ");
    TestDriverState* s = stateOf(driverModule);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(scrWidth * 100 + scrHeight, 4830);
    EXPECT_EQ(screenCapacity, 48u * 30u);
    const Bitmap* screen = ZelBitmap::Screen.get();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(videoMemory, screen->pixels());
    EXPECT_EQ(*s->videoMemory, videoMemory);  // the driver reads the buffer through our variable
    const ZelClipRgn* r = screen->clipRgn();
    EXPECT_TRUE(screen->width == 48 && r->right == 48 && r->bottom == 30 && r->next.handle.isNull());
    EXPECT_EQ(s->videoModes, 1);
    EXPECT_EQ(s->lastModeArgument, reinterpret_cast<uintptr_t>(&ZelVideo::Settings));
    EXPECT_EQ(setPalette, &paletteRelay);
    EXPECT_EQ(ZelVideoWinEvent(0, 0, 0, 0), 7);
    ZelVideo::Shake(3);
    EXPECT_EQ(s->lastShake, 3);

    // A smaller screen keeps the buffer; a larger one grows it.
    setenv("ZEL_TESTDRV_SIZE", "20x10", 1);
    unsigned char* buffer = videoMemory;
    EXPECT_EQ(switchGraphicsDriver("testdrv2"), 1);
    EXPECT_TRUE(videoMemory == buffer && screenCapacity == 48u * 30u && ZelBitmap::Screen->width == 20);
    EXPECT_TRUE(ZelBitmap::Screen->clipRgn()->right == 20 && ZelBitmap::Screen->clipRgn()->next.handle.isNull());
    setenv("ZEL_TESTDRV_SIZE", "80x50", 1);
    EXPECT_EQ(switchGraphicsDriver("testdrv"), 1);
    EXPECT_TRUE(screenCapacity == 80u * 50u && videoMemory == ZelBitmap::Screen->pixels());
    EXPECT_EQ(ZelMem::GetPtrSize(ZelBitmap::Screen.get()), 20u + 80u * 50u);
    EXPECT_EQ(printed([] { return switchGraphicsDriver("nosuchdriver"); }),
              "0 Cannot find graphics driver: 'nosuchdriver.drv'\n");
    EXPECT_EQ(driverModule, 0u);
}

TEST_F(Driver, FailuresAreReportedAndTheModuleUnloaded)
{
    const std::string appendBefore = ZelSystem::AppendPath;
    const std::string failed = "Graphic Driver initialization failed.\nVideo Mem: ";
    const std::pair<const char*, std::string> cases[] = {
        {"testdrv_nohook", "0 Could not load HookFunction.\n"},
        {"testdrv_norefresh", "0 Could not link a required graphics service: 'refresh()'.\n" + failed},
        {"testdrv_novideomode", "0 Could not link a required graphics service: 'setVideoMode()'.\n" + failed},
        {"testdrv_notextmode", "0 Could not link a required graphics service: 'setTextMode()'.\n" + failed},
        {"testdrv_modefail", "0 Unable to initialize the correct video mode."},
        {"nosuchdriver", "0 Cannot find graphics driver: 'nosuchdriver.drv'\n"},
    };
    for (const auto& [name, message] : cases) {
        // The memory figure after "Video Mem: " is the machine's.
        const std::string out = printed([name = name] { return setGraphicsDriver(name); });
        const bool figure = message.ends_with(": ");
        EXPECT_EQ(figure ? out.substr(0, message.size()) : out, message) << name;
        EXPECT_TRUE(!figure || out.back() == '\n') << name;
        EXPECT_EQ(driverModule, 0u) << name;
    }
    // A file that is no module, found along PATH.
    writeFile("bin/broken.drv", "not a shared object");
    const std::string savedPath = std::getenv("PATH");
    setenv("PATH", (root + "/bin").c_str(), 1);
    const std::string out = printed([] { return setGraphicsDriver("broken"); });
    setenv("PATH", savedPath.c_str(), 1);
    EXPECT_EQ(out, "0 Not enough memory to load graphics driver (broken.drv).\n");
    EXPECT_EQ(ZelSystem::AppendPath, appendBefore);
}

TEST_F(Driver, OptionalServicesHaveHarmlessDefaults)
{
    ASSERT_EQ(setGraphicsDriver("testdrv_minimal"), -1);
    EXPECT_EQ(ZelVideoWinEvent(1, 2, 3, 4), 0);
    EXPECT_EQ(driverShake, nullptr);
    ZelVideo::Shake(5);
    unsigned char rgb[6] = {1, 2, 3, 4, 5, 6};
    setPalette(10, 2, rgb);
    disableLowerBar();
    enableLowerBar();
}

TEST_F(Driver, PreloadTableHoldsFourAndNamesMatchExactly)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(preloadGraphicsDriver("testdrv"), -1);
    const HMODULE module = preloadTable[3].module;
    EXPECT_STREQ(preloadTable[0].name, "testdrv.drv");
    EXPECT_STREQ(ZelMem::GetPtrData(preloadTable[0].name), "string");
    EXPECT_EQ(printed([] { return preloadGraphicsDriver("testdrv"); }),
              "0 Could not add graphics driver: 'testdrv.drv'\n");
    EXPECT_EQ(printed([] { return preloadGraphicsDriver("nosuchdriver"); }),
              "0 Could not find graphics driver: 'nosuchdriver.drv'\n");
    releasePreloadTable();  // four references: the module leaves the process
    EXPECT_FALSE(loaded(module));
    EXPECT_EQ(preloadTable[0].name, nullptr);

    // A preloaded module is linked, not loaded again; another spelling of the name is.
    for (const char* name : {"testdrv", "TESTDRV"}) {
        ASSERT_EQ(preloadGraphicsDriver("testdrv"), -1);
        const HMODULE preloaded = preloadTable[0].module;
        ASSERT_EQ(setGraphicsDriver(name), -1);
        EXPECT_EQ(driverModule, preloaded);
        deinitGraphics();
        EXPECT_EQ(loaded(preloaded), name[1] == 'E') << name;
        if (loaded(preloaded))
            FreeLibrary(preloaded);
    }
}

TEST_F(Driver, LoadLibraryFindsNamesWithoutRegardToCaseAndCountsReferences)
{
    const HMODULE a = LoadLibraryA("TestDrv.DRV"), b = LoadLibraryA("testdrv.drv");
    ASSERT_GE(a, 32u);
    EXPECT_EQ(a, b);
    EXPECT_NE(GetProcAddress(a, "hookDevice"), nullptr);
    EXPECT_EQ(GetProcAddress(a, "noSuchService"), nullptr);
    EXPECT_EQ(GetProcAddress(a, "malloc"), nullptr);  // only the module's own exports
    EXPECT_NE(FreeLibrary(a), 0);
    EXPECT_TRUE(loaded(a));
    EXPECT_NE(FreeLibrary(b), 0);
    EXPECT_FALSE(loaded(a));
    EXPECT_EQ(FreeLibrary(a), 0);  // a stale handle is refused
    EXPECT_EQ(LoadLibraryA("nosuchdriver.drv"), 0u);
    EXPECT_EQ(LoadLibraryA(""), 0u);
}

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
    const TestDriverState* s = stateOf(driverModule);
    // The screen was cleared to colour 1 before the one refresh.
    EXPECT_TRUE(s->refreshes == 1 && s->firstPixelAtRefresh == 1 && s->refreshedBytesNotFirst == 0);
    // Palette slot 0 went to the display through the relay.
    EXPECT_EQ(std::memcmp(s->palette, palettes[0], 768) | std::memcmp(paletteShadow, palettes[0], 768), 0);
    EXPECT_EQ(palettes[0][3] * 100 + palettes[0][4], (1 >> 2) * 100 + (254 >> 2));
    EXPECT_EQ(ZelVideo::shadeDark[100] * 10 + ZelVideo::shadeLight[100], 23);
    EXPECT_TRUE(ZelVideo::lineOff[1] == 32 && ZelVideo::lineOff[20] == 32 * 20);
    EXPECT_EQ(ZelVideo::maxVideoMemory, videoMemory + 32 * 20 - 1);
    EXPECT_EQ(ZelFont::nFonts, 1);
    EXPECT_EQ(ZelFont::currentFont, ZelFont::fonts.get()[0].handle);
    EXPECT_TRUE(polyBuffer.resolves());
    EXPECT_EQ(ZelMem::GetPtrSize(gouraudBuffer.get()), 6144u);
    EXPECT_STREQ(ZelMem::GetPtrData(ZelVideo::lineOff), "lineOff");

    // A change keeping everything resends the palette and rebuilds the rows.
    const int paletteCalls = s->paletteCalls;
    ZelFont::currentFont = HClass<Fonts>();
    ZelVideo::lineOff[3] = -7;
    ASSERT_EQ(ZelVideo::change(Keep, Keep, Keep), -1);
    EXPECT_TRUE(s->paletteCalls == paletteCalls + 1 && s->refreshes == 1);
    EXPECT_EQ(ZelFont::currentFont, ZelFont::fonts.get()[0].handle);
    EXPECT_EQ(ZelVideo::lineOff[3], 3 * 32);
    // A change of driver rebuilds the row offsets for the new size; fonts stay.
    setenv("ZEL_TESTDRV_SIZE", "50x60", 1);
    ASSERT_EQ(ZelVideo::change("testdrv2", Keep, "test.fnt"), -1);
    EXPECT_TRUE(scrWidth == 50 && ZelVideo::lineOff[60] == 50 * 60);
    EXPECT_EQ(ZelVideo::maxVideoMemory, videoMemory + 50 * 60 - 1);
    EXPECT_EQ(ZelFont::nFonts, 2);
}

TEST_F(Lifecycle, ConfigurationAndFailuresThatStopAtTheirStep)
{
    ZelSystem::SetRegistryString("graphics", "testdrv");
    ZelSystem::SetRegistryString("palette", "test.pal");
    ZelSystem::SetRegistryString("font", "test.fnt");
    ASSERT_EQ(ZelVideo::init(nullptr, nullptr, nullptr), -1);
    EXPECT_STREQ(paletteName, "test.pal");
    ZelVideo::deinit();
    // Shade files are optional only for a palette given by name.
    writeFile("CDDATA/SYSTEM/bare.pal", std::string(768, '\x40'));
    EXPECT_EQ(ZelVideo::init("testdrv", "bare.pal", "test.fnt"), -1);
    ZelVideo::deinit();
    ZelSystem::SetRegistryString("palette", "bare.pal");
    EXPECT_EQ(ZelVideo::init("testdrv", nullptr, "test.fnt"), 0);
    EXPECT_EQ(ZelVideo::graphOn, 0);
    deinitGraphics();
    ZelFont::unloadAll();

    EXPECT_EQ(printed([] { return ZelVideo::init("nosuchdriver", "test.pal", "test.fnt"); }),
              "0 Cannot find graphics driver: 'nosuchdriver.drv'\n");
    EXPECT_TRUE(polyBuffer.resolves());  // left for deinitGraphics
    deinitGraphics();
    EXPECT_EQ(ZelVideo::init("testdrv", "test.pal", "missing.fnt"), 0);
    EXPECT_EQ(ZelFont::nFonts, 0);
    deinitGraphics();
    EXPECT_EQ(ZelVideo::init("testdrv", "missing.pal", "test.fnt"), 0);
    EXPECT_EQ(ZelFont::nFonts, 1);
    ZelVideo::deinit();  // nothing to do: video never came up
    EXPECT_EQ(ZelFont::nFonts, 1);

    EXPECT_EQ(ZelVideo::preload(nullptr), -1);
    EXPECT_STREQ(preloadTable[0].name, "testdrv.drv");
    ZelSystem::SetRegistryString("graphics", "nosuchdriver");
    EXPECT_EQ(printed([] { return ZelVideo::preload(nullptr); }),
              "0 Could not find graphics driver: 'nosuchdriver.drv'\n");
}

TEST_F(Lifecycle, DeinitReleasesEverythingOnceAndIsSafeToRepeat)
{
    ZelVideo::deinit();
    ASSERT_EQ(ZelVideo::preload("testdrv"), -1);
    const HMODULE preloaded = preloadTable[0].module;
    ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
    EXPECT_EQ(driverModule, preloaded);
    ZelVideo::deinit();
    EXPECT_FALSE(loaded(preloaded));  // unloaded exactly once
    EXPECT_TRUE(ZelVideo::graphOn == 0 && !videoMemory && ZelBitmap::Screen.isNull());
    EXPECT_TRUE(!ZelVideo::shadeDark && !ZelVideo::lineOff && ZelFont::currentFont.isNull() && !polyBuffer.resolves());
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
            std::exit(ZelVideo::init("testdrv", "test.pal", "test.fnt") == -1 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    unsetenv("ZEL_TESTDRV_TEXT_MODE_MARK");
    EXPECT_TRUE(std::filesystem::exists(mark));
}

}  // namespace
