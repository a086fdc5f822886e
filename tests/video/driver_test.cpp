// What driver.scene cannot see: module references counted as the system
// counts them, a broken module found along PATH, and the display given back
// when a program ends with video on.

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "cout_capture.h"
#include "driver_fixture.h"
#include "test_support.h"
#include "video/driver.h"
#include "video/screen.h"

namespace {

using Driver = zeltest::DriverTest;

TEST_F(Driver, ModulesAreCountedAndUnloadedExactlyOnce)
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

    // A preloaded module is linked, not loaded again, and leaves with the
    // table; another spelling of its name loads the file again.
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

    // A second init without deinit lets go of the first one's reference.
    writeSystemFiles();
    ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
    ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
    const HMODULE module = driverModule;
    ZelVideo::deinit();
    EXPECT_FALSE(loaded(module));
}

TEST_F(Driver, AFileThatIsNoModuleIsReportedAsOutOfMemory)
{
    const std::string appendBefore = ZelSystem::AppendPath;
    writeFile("bin/broken.drv", "not a shared object");
    const std::string savedPath = std::getenv("PATH");
    setenv("PATH", (root + "/bin").c_str(), 1);
    zeltest::CoutCapture out;
    EXPECT_EQ(setGraphicsDriver("broken"), 0);
    setenv("PATH", savedPath.c_str(), 1);
    EXPECT_EQ(out.text(), "Not enough memory to load graphics driver (broken.drv).\n");
    EXPECT_EQ(ZelSystem::AppendPath, appendBefore);
}

// A program that ends with video still on gets the display back in text
// mode when the library is unloaded.
TEST_F(Driver, ExitWithVideoOnReturnsToTextMode)
{
    writeSystemFiles();
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
    // A failed change leaves no driver: the exit calls nothing of the unloaded one.
    EXPECT_EXIT(
        {
            zeltest::ignoreLeaksFromHere();
            const bool up = ZelVideo::init("testdrv", "test.pal", "test.fnt") == -1;
            std::exit(up && ZelVideo::change("testdrv_modefail", "test.pal", "test.fnt") == 0 ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
