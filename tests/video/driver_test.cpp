// What driver.scene cannot see: the display given back in text mode when a
// program ends with video on.

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "driver_fixture.h"
#include "test_support.h"
#include "video/video.h"

namespace {

using Driver = zeltest::DriverTest;

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
