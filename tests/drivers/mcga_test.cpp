// The window driver on a real X display: a virtual one (Xvfb) is started for
// the test when none is set. A screenshot of the screen shows the picture at
// the window's scale and colours; closing the window through the window
// manager protocol is reported by winEvent. Skipped where Xvfb is missing.

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "driver_fixture.h"
#include "video/driver.h"
#include "video/palette.h"
#include "video/screen.h"
#include "x11_display.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#define ZEL_LEAK_CHECKS 1
#endif

namespace {

// The display stack under the window driver (SDL2, X11, D-Bus, the GL
// dispatch) keeps allocations it never frees. They are not the library's, so
// the leak checker looks away while the window is in use; the library's own
// blocks are still checked by the fixture's live-block report.
struct DisplayStackAllocations {
    DisplayStackAllocations()
    {
#ifdef ZEL_LEAK_CHECKS
        __lsan_disable();
#endif
    }
    ~DisplayStackAllocations()
    {
#ifdef ZEL_LEAK_CHECKS
        __lsan_enable();
#endif
    }
};

using zeltest::Box;
using zeltest::Rgb;

class Mcga : public zeltest::DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        if (!std::getenv("DISPLAY")) {
            if (!display.start())
                GTEST_SKIP() << "no X display and no Xvfb to start one";
            setenv("DISPLAY", display.name().c_str(), 1);
            ownDisplay = true;
        }
        if (!x.open())
            GTEST_SKIP() << "cannot open the X display";
        writeSystemFiles();
        ZelSystem::SetRegistryString("mcga_width", "32");
        ZelSystem::SetRegistryString("mcga_height", "20");
        ZelSystem::SetRegistryString("mcga_scale", "3");
        testing::internal::CaptureStdout();
        const signed char started = ZelVideo::init("mcga", "test.pal", "test.fnt");
        const std::string said = testing::internal::GetCapturedStdout();
        ASSERT_EQ(started, -1) << said;
    }
    void TearDown() override
    {
        ZelVideo::deinit();
        for (const char* key : {"mcga_width", "mcga_height", "mcga_scale"})
            ZelSystem::SetRegistryString(key, nullptr);
        if (ownDisplay)
            unsetenv("DISPLAY");
        DriverTest::TearDown();
    }

    // Refreshes and takes screenshots until the window shows colour, or a
    // few seconds have passed.
    std::vector<Rgb> shotShowing(Rgb colour, int& w, int& h)
    {
        std::vector<Rgb> shot;
        for (int attempt = 0; attempt < 60; ++attempt) {
            refresh();
            shot = x.screenshot(w, h);
            if (zeltest::boxOf(shot, w, colour).right >= 0)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return shot;
    }

    DisplayStackAllocations ignored;
    zeltest::VirtualDisplay display;
    bool ownDisplay = false;
    zeltest::XConnection x;
};

TEST_F(Mcga, ScreenshotShowsThePictureScaledInItsColours)
{
    unsigned char colours[6] = {63, 0, 63, 63, 63, 0};  // 5 pink, 6 yellow
    setPalette(5, 2, colours);
    clrScreen(5);
    putBar(10, 5, 4, 4, 6);
    int w = 0, h = 0;
    const std::vector<Rgb> shot = shotShowing({255, 0, 255}, w, h);
    const Box window = zeltest::boxOf(shot, w, {255, 0, 255});
    const Box bar = zeltest::boxOf(shot, w, {255, 255, 0});
    ASSERT_GE(window.right, 0) << "the window never showed its picture";
    EXPECT_EQ(window.width(), 32 * 3);
    EXPECT_EQ(window.height(), 20 * 3);
    EXPECT_EQ(bar.left - window.left, 10 * 3);
    EXPECT_EQ(bar.top - window.top, 5 * 3);
    EXPECT_EQ(bar.width(), 4 * 3);
    EXPECT_EQ(bar.height(), 4 * 3);
}

TEST_F(Mcga, ClosingTheWindowIsReportedByWinEvent)
{
    unsigned char pink[3] = {63, 0, 63};
    setPalette(5, 1, pink);
    clrScreen(5);
    int w = 0, h = 0;
    shotShowing({255, 0, 255}, w, h);
    EXPECT_EQ(ZelVideoWinEvent(0, 0, 0, 0), 0);
    ASSERT_TRUE(x.askToClose("zelgfx")) << "no window titled zelgfx";

    signed char answer = 0;
    for (int attempt = 0; attempt < 100 && answer == 0; ++attempt) {
        answer = ZelVideoWinEvent(0, 0, 0, 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(answer, 1);
}

}  // namespace
