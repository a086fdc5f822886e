// The headless driver: the configured size, and PNG frames through the
// current palette written every Nth refresh, or not at all.

#include <filesystem>

#include <gtest/gtest.h>

#include "driver_fixture.h"
#include "golden.h"
#include "draw/draw.h"
#include "video/driver.h"
#include "video/screen.h"

namespace {

struct Headless : zeltest::DriverTest {
    void SetUp() override
    {
        DriverTest::SetUp();
        writeSystemFiles();
        frames = root + "/frames";
        std::filesystem::create_directories(frames);
        ZelSystem::SetRegistryString("headless_width", "40");
        ZelSystem::SetRegistryString("headless_height", "30");
    }
    void TearDown() override
    {
        for (const char* key : {"headless_width", "headless_height", "headless_dir", "headless_every"})
            ZelSystem::SetRegistryString(key, nullptr);
        DriverTest::TearDown();
    }
    std::string frames;
};

TEST_F(Headless, WritesEveryNthFrameThroughThePalette)
{
    ZelSystem::SetRegistryString("headless_dir", frames.c_str());
    ZelSystem::SetRegistryString("headless_every", "2");
    ASSERT_EQ(ZelVideo::init("headless", "test.pal", "test.fnt"), -1);  // refresh: frame 0
    EXPECT_EQ(scrWidth, 40);
    EXPECT_EQ(scrHeight, 30);
    putBar(5, 6, 10, 4, 200);
    refresh();  // frame 1: skipped
    refresh();  // frame 2: written
    ZelVideo::deinit();

    EXPECT_TRUE(std::filesystem::exists(frames + "/frame000000.png"));
    EXPECT_FALSE(std::filesystem::exists(frames + "/frame000001.png"));
    zeltest::IndexedPng shot;
    ASSERT_TRUE(zeltest::readIndexedPng(frames + "/frame000002.png", shot));
    ASSERT_EQ(shot.width * shot.height, 40 * 30);
    EXPECT_EQ(shot.pixels[0], 1);
    EXPECT_EQ(shot.pixels[7 * 40 + 9], 200);
    // The test palette entry i is (i, 255 - i, 7i) in 8 bits: 6-bit values
    // expand with 0 staying 0 and 63 becoming 255.
    ASSERT_EQ(shot.rgb.size(), 768u);
    EXPECT_EQ(shot.rgb[0], 0);
    EXPECT_EQ(shot.rgb[1], 255);
    EXPECT_EQ(shot.rgb[600], 203);  // 200 >> 2 = 50, expanded to 50 << 2 | 50 >> 4
}

TEST_F(Headless, WritesNothingWithoutADirectory)
{
    ASSERT_EQ(ZelVideo::init("headless", "test.pal", "test.fnt"), -1);
    refresh();
    ZelVideo::deinit();
    EXPECT_TRUE(std::filesystem::is_empty(frames));
}

}  // namespace
