// The window driver, on a real display: the window's size, the colours it
// shows, the shake, and the window closing with text mode. Skipped where no
// display can be opened.

#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "draw/draw.h"
#include "driver_fixture.h"
#include "video/driver.h"
#include "video/palette.h"
#include "video/screen.h"

namespace {

using Snapshot = bool (*)(uint32_t*, int, int*, int*);

class Mcga : public zeltest::DriverTest {
protected:
    void SetUp() override
    {
        DriverTest::SetUp();
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
            GTEST_SKIP() << "no display";
        writeSystemFiles();
        ZelSystem::SetRegistryString("mcga_width", "32");
        ZelSystem::SetRegistryString("mcga_height", "20");
        ZelSystem::SetRegistryString("mcga_scale", "3");
    }
    void TearDown() override
    {
        for (const char* key : {"mcga_width", "mcga_height", "mcga_scale"})
            ZelSystem::SetRegistryString(key, nullptr);
        DriverTest::TearDown();
    }
};

TEST_F(Mcga, ShowsTheScreenScaledThroughThePalette)
{
    testing::internal::CaptureStdout();
    const signed char started = ZelVideo::init("mcga", "test.pal", "test.fnt");
    const std::string said = testing::internal::GetCapturedStdout();
    ASSERT_EQ(started, -1) << said;
    auto snapshot = reinterpret_cast<Snapshot>(GetProcAddress(driverModule, "mcgaSnapshot"));
    ASSERT_NE(snapshot, nullptr);

    unsigned char pink[3] = {63, 0, 63};
    setPalette(5, 1, pink);
    clrScreen(0);
    putBar(2, 1, 3, 2, 5);
    refresh();
    std::vector<uint32_t> shown(96 * 60);
    int w = 0, h = 0;
    ASSERT_TRUE(snapshot(shown.data(), static_cast<int>(shown.size()), &w, &h));
    EXPECT_EQ(w, 96);
    EXPECT_EQ(h, 60);
    // Screen pixel (2, 1) covers window pixels 6..8 x 3..5.
    EXPECT_EQ(shown[3 * 96 + 6] & 0xffffff, 0xff00ffu);
    EXPECT_EQ(shown[5 * 96 + 8] & 0xffffff, 0xff00ffu);
    EXPECT_EQ(shown[2 * 96 + 6] & 0xffffff, 0x00ff00u);  // colour 0 of the test palette: (0, 63, 0)
    EXPECT_EQ(ZelVideoWinEvent(0, 0, 0, 0), 0);

    // A shake displaces the picture.
    ZelVideo::Shake(3);
    std::vector<uint32_t> shaken(96 * 60);
    ASSERT_TRUE(snapshot(shaken.data(), static_cast<int>(shaken.size()), &w, &h));
    EXPECT_NE(shaken, shown);

    // Text mode closes the window.
    setTextMode(0);
    EXPECT_FALSE(snapshot(shown.data(), static_cast<int>(shown.size()), &w, &h));
}

}  // namespace
