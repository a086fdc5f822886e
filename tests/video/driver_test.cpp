// Preloading, linking and switching graphics drivers, with every message
// checked as printed.

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "driver_fixture.h"
#include "test_support.h"
#include "video/driver.h"
#include "video/palette.h"
#include "video/screen.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

class Driver : public zeltest::DriverTest {};

TEST_F(Driver, LinkBuildsTheScreenAndServices)
{
    setenv("ZEL_TESTDRV_SIZE", "48x30", 1);
    CaptureStdout();
    const signed char linked = setGraphicsDriver("testdrv");
    EXPECT_EQ(GetCapturedStdout(), "");
    ASSERT_EQ(linked, -1);
    ASSERT_GE(driverModule, 32u);
    TestDriverState* s = stateOf(driverModule);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(scrWidth, 48);
    EXPECT_EQ(scrHeight, 30);
    EXPECT_EQ(screenCapacity, 48u * 30u);
    Bitmap* screen = ZelBitmap::Screen.get();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(videoMemory, screen->pixels());
    EXPECT_EQ(*s->videoMemory, videoMemory);  // the driver reads the buffer through our variable
    EXPECT_EQ(screen->width, 48);
    const ZelClipRgn* r = screen->clipRgn();
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->right, 48);
    EXPECT_EQ(r->bottom, 30);
    EXPECT_TRUE(r->next.handle.isNull());
    EXPECT_EQ(s->videoModes, 1);
    EXPECT_EQ(s->lastModeArgument, reinterpret_cast<uintptr_t>(&ZelVideo::Settings));
    EXPECT_EQ(setPalette, &paletteRelay);
    EXPECT_EQ(ZelVideoWinEvent(0, 0, 0, 0), 7);
    ZelVideo::Shake(3);
    EXPECT_EQ(s->lastShake, 3);
}

TEST_F(Driver, MissingHookDeviceIsReportedAndUnloaded)
{
    CaptureStdout();
    EXPECT_EQ(setGraphicsDriver("testdrv_nohook"), 0);
    EXPECT_EQ(GetCapturedStdout(), "Could not load HookFunction.\n");
    EXPECT_EQ(driverModule, 0u);
}

TEST_F(Driver, MissingRequiredServicesAreEachReported)
{
    CaptureStdout();
    EXPECT_EQ(setGraphicsDriver("testdrv_norefresh"), 0);
    std::string out = GetCapturedStdout();
    const std::string expected =
        "Could not link a required graphics service: 'refresh()'.\n"
        "Graphic Driver initialization failed.\n"
        "Video Mem: ";
    EXPECT_EQ(out.substr(0, expected.size()), expected);
    EXPECT_EQ(out.back(), '\n');
    EXPECT_NE(setVideoMode, nullptr);  // the others were still linked
    EXPECT_EQ(driverModule, 0u);

    CaptureStdout();
    EXPECT_EQ(setGraphicsDriver("testdrv_novideomode"), 0);
    EXPECT_EQ(GetCapturedStdout().rfind("Could not link a required graphics service: 'setVideoMode()'.\n"
                                        "Graphic Driver initialization failed.\n", 0), 0u);
    CaptureStdout();
    EXPECT_EQ(setGraphicsDriver("testdrv_notextmode"), 0);
    EXPECT_EQ(GetCapturedStdout().rfind("Could not link a required graphics service: 'setTextMode()'.\n"
                                        "Graphic Driver initialization failed.\n", 0), 0u);
}

TEST_F(Driver, RefusedVideoModeUnloadsTheDriver)
{
    CaptureStdout();
    EXPECT_EQ(setGraphicsDriver("testdrv_modefail"), 0);
    EXPECT_EQ(GetCapturedStdout(), "Unable to initialize the correct video mode.");
    EXPECT_EQ(driverModule, 0u);
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

TEST_F(Driver, MissingAndUnloadableModulesAreToldApart)
{
    const std::string appendBefore = ZelSystem::AppendPath;
    CaptureStdout();
    EXPECT_EQ(setGraphicsDriver("nosuchdriver"), 0);
    EXPECT_EQ(GetCapturedStdout(), "Cannot find graphics driver: 'nosuchdriver.drv'\n");

    // A file that is no module, found along PATH.
    writeFile("bin/broken.drv", "not a shared object");
    const char* oldPath = std::getenv("PATH");
    std::string savedPath = oldPath ? oldPath : "";
    setenv("PATH", (root + "/bin").c_str(), 1);
    CaptureStdout();
    EXPECT_EQ(setGraphicsDriver("broken"), 0);
    std::string out = GetCapturedStdout();
    setenv("PATH", savedPath.c_str(), 1);
    EXPECT_EQ(out, "Not enough memory to load graphics driver (broken.drv).\n");
    EXPECT_EQ(ZelSystem::AppendPath, appendBefore);
    EXPECT_EQ(driverModule, 0u);
}

TEST_F(Driver, PreloadTableHoldsFourAndUnloadsTheFifth)
{
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(preloadGraphicsDriver("testdrv"), -1);
    HMODULE module = preloadTable[3].module;
    EXPECT_STREQ(preloadTable[0].name, "testdrv.drv");
    EXPECT_STREQ(ZelMem::GetPtrData(preloadTable[0].name), "string");
    CaptureStdout();
    EXPECT_EQ(preloadGraphicsDriver("testdrv"), 0);
    EXPECT_EQ(GetCapturedStdout(), "Could not add graphics driver: 'testdrv.drv'\n");
    CaptureStdout();
    EXPECT_EQ(preloadGraphicsDriver("nosuchdriver"), 0);
    EXPECT_EQ(GetCapturedStdout(), "Could not find graphics driver: 'nosuchdriver.drv'\n");

    // Four references are left: emptying the table unloads the module.
    releasePreloadTable();
    EXPECT_FALSE(loaded(module));
    EXPECT_EQ(preloadTable[0].name, nullptr);
}

TEST_F(Driver, PreloadedNamesMatchExactlyAndAreNotLoadedAgain)
{
    ASSERT_EQ(preloadGraphicsDriver("testdrv"), -1);
    HMODULE preloaded = preloadTable[0].module;
    ASSERT_EQ(setGraphicsDriver("testdrv"), -1);
    EXPECT_EQ(driverModule, preloaded);
    deinitGraphics();  // one reference in all: the module leaves the process
    EXPECT_FALSE(loaded(preloaded));

    // A differently cased name does not match the table and loads the file again.
    ASSERT_EQ(preloadGraphicsDriver("testdrv"), -1);
    preloaded = preloadTable[0].module;
    ASSERT_EQ(setGraphicsDriver("TESTDRV"), -1);
    EXPECT_EQ(driverModule, preloaded);
    deinitGraphics();
    EXPECT_TRUE(loaded(preloaded));
    FreeLibrary(preloaded);
}

TEST_F(Driver, SwitchingKeepsASmallerScreenAndGrowsForALargerOne)
{
    setenv("ZEL_TESTDRV_SIZE", "40x30", 1);
    ASSERT_EQ(setGraphicsDriver("testdrv"), -1);
    unsigned char* buffer = videoMemory;
    const unsigned short screen = ZelBitmap::Screen.value;

    setenv("ZEL_TESTDRV_SIZE", "20x10", 1);
    EXPECT_EQ(switchGraphicsDriver("testdrv2"), 1);
    EXPECT_NE(driverModule, 0u);
    EXPECT_EQ(videoMemory, buffer);
    EXPECT_EQ(ZelBitmap::Screen.value, screen);
    EXPECT_EQ(screenCapacity, 40u * 30u);
    EXPECT_EQ(ZelBitmap::Screen->width, 20);
    EXPECT_EQ(ZelBitmap::Screen->clipRgn()->right, 20);
    EXPECT_TRUE(ZelBitmap::Screen->clipRgn()->next.handle.isNull());  // the old region was popped

    setenv("ZEL_TESTDRV_SIZE", "80x50", 1);
    EXPECT_EQ(switchGraphicsDriver("testdrv"), 1);
    EXPECT_EQ(screenCapacity, 80u * 50u);
    EXPECT_EQ(videoMemory, ZelBitmap::Screen->pixels());
    EXPECT_EQ(ZelBitmap::Screen->height, 50);
    EXPECT_EQ(ZelMem::GetPtrSize(ZelBitmap::Screen.get()), 20u + 80u * 50u);

    CaptureStdout();
    EXPECT_EQ(switchGraphicsDriver("nosuchdriver"), 0);
    GetCapturedStdout();
    EXPECT_EQ(driverModule, 0u);
}

TEST_F(Driver, LoadLibraryFindsNamesWithoutRegardToCaseAndCountsReferences)
{
    HMODULE a = LoadLibraryA("TestDrv.DRV");
    HMODULE b = LoadLibraryA("testdrv.drv");
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

}  // namespace
