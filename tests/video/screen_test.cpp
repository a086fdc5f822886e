// The exported video state and the single-pixel operations, end to end on a
// Screen bitmap built as the driver set-up builds it.

#include <gtest/gtest.h>

#include "test_support.h"
#include "video/screen.h"

namespace {

using zeltest::ScreenSetup;

TEST(VideoState, StartsWithLoadTimeValues)
{
    EXPECT_EQ(scrWidth, 0);
    EXPECT_EQ(scrHeight, 0);
    EXPECT_EQ(videoMemory, nullptr);
    EXPECT_EQ(defaultColor, 31);
    EXPECT_EQ(zoomFactor, 8);
    EXPECT_EQ(currentXPos, 0);
    EXPECT_EQ(hazeLevel, 0);
    EXPECT_EQ(nightLevel, 0);
    EXPECT_EQ(ZelVideo::lineOff, nullptr);
    EXPECT_EQ(ZelVideo::maxVideoMemory, nullptr);
    EXPECT_EQ(ZelVideo::graphOn, 0);
    EXPECT_EQ(ZelVideo::Settings.mode, 0);
    EXPECT_EQ(ZelVideo::Settings.fullScreen, 0);
    EXPECT_TRUE(ZelBitmap::Screen.isNull());
    EXPECT_EQ(refresh, nullptr);
    EXPECT_EQ(setVideoMode, nullptr);
    EXPECT_EQ(setPalette, nullptr);
    EXPECT_EQ(ZelVideoWinEvent, nullptr);
}

TEST(Screen, PixelsOutsideTheFullRegionAreIgnored)
{
    ScreenSetup screen(8, 5, 3);
    putPixel(8, 0, 9);
    putPixel(-1, 0, 9);
    putPixel(0, 5, 9);
    putPixel(0, -1, 9);
    EXPECT_EQ(zeltest::picture(screen.bitmap()),
              "33333333\n33333333\n33333333\n33333333\n33333333\n");
    putPixel(7, 4, 9);
    EXPECT_EQ(videoMemory[8 * 5 - 1], 9);
    EXPECT_EQ(getPixel(7, 4), 9);
    EXPECT_EQ(getPixel(8, 4), 0);
}

TEST(Screen, DrawingCoordinatesGoThroughRegionOrigin)
{
    ScreenSetup screen(40, 40);
    screen.setRegion(5, 6, 30, 35, 10, 20);
    putPixel(0, 0, 7);
    EXPECT_EQ(videoMemory[(6 + 20) * 40 + 5 + 10], 7);
    EXPECT_EQ(getPixel(0, 0), 7);
    // The pixel right of the region holds a value but reads as 0.
    videoMemory[26 * 40 + 30] = 4;
    EXPECT_EQ(getPixel(15, 0), 0);
    putPixel(15, 0, 1);
    EXPECT_EQ(videoMemory[26 * 40 + 30], 4);
    putPixel(-11, 0, 1);  // column 4, left of the region
    EXPECT_EQ(videoMemory[26 * 40 + 4], 0);
}

TEST(Screen, ClearFillsEverythingWhateverTheRegion)
{
    ScreenSetup screen(6, 4);
    screen.setRegion(2, 1, 3, 2);
    clrScreen(5);
    EXPECT_EQ(zeltest::picture(screen.bitmap()), "555555\n555555\n555555\n555555\n");
}

TEST(Screen, NothingHappensWithoutAScreen)
{
    putPixel(0, 0, 1);
    EXPECT_EQ(getPixel(0, 0), 0);
    clrScreen(1);
}

}  // namespace
