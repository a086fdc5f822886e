// The last-error text: every failure that prints nothing, or little, records
// why; printing stays exactly as it was; success leaves the text alone.

#include <string>

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"
#include "driver_fixture.h"
#include "video/last_error.h"
#include "video/palette.h"
#include "video/video.h"

namespace {

using zeltest::DriverTest;
using LastError = DriverTest;

// init's result, with what it printed and the error text it left.
std::string initSays(const char* driver, const char* palette, const char* font, signed char expected)
{
    zelClearError();
    testing::internal::CaptureStdout();
    EXPECT_EQ(ZelVideo::init(driver, palette, font), expected);
    const std::string printed = testing::internal::GetCapturedStdout();
    ZelVideo::deinit();
    deinitGraphics();
    return printed + "|" + zelGetError();
}

TEST_F(LastError, InitRecordsMissingFilesWithoutPrinting)
{
    writeSystemFiles();
    const std::string where = " in /CDDATA/SYSTEM below the data roots " + root;
    EXPECT_EQ(initSays("testdrv", "test.pal", "none.fnt", 0), "|cannot find the font 'none.fnt'" + where);
    EXPECT_EQ(initSays("testdrv", "none.pal", "test.fnt", 0),
              "|cannot find the palette 'none.pal'" + where + ", nor on the disk");
    ZelSystem::SetRegistryString("palette", "lone.pal");  // the configured palette needs its shade tables
    writeFile("CDDATA/SYSTEM/lone.pal", std::string(768, '\0'));
    EXPECT_EQ(initSays("testdrv", nullptr, "test.fnt", 0),
              "|cannot find the shade table 'lone.DRK'" + where + ", nor on the disk");
    writeFile("CDDATA/SYSTEM/lone.pal", std::string(767, '\0'));
    EXPECT_EQ(initSays("testdrv", "lone.pal", "test.fnt", 0), "|the palette 'lone.pal' is shorter than 768 bytes");
    EXPECT_EQ(initSays("testdrv", "test.pal", "test.fnt", -1), "|");  // success records nothing
}

TEST_F(LastError, DriversThatWillNotStartSayWhy)
{
    writeSystemFiles();
    EXPECT_NE(initSays("nosuch", nullptr, nullptr, 0).find("|cannot find the module 'nosuch.drv' in "),
              std::string::npos);
    EXPECT_EQ(initSays("testdrv_modefail", nullptr, nullptr, 0),
              "Unable to initialize the correct video mode.|testdrv_modefail.drv could not set its video mode");
    EXPECT_EQ(initSays("testdrv_nohook", nullptr, nullptr, 0),
              "Could not load HookFunction.\n|testdrv_nohook.drv lacks the required service hookDevice()");
}

TEST_F(LastError, BitmapsMissingOrCutShort)
{
    writeFile("PICS/cut.bmp", "BM\x01");
    EXPECT_TRUE(ZelBitmap::Load("cut.bmp", "/PICS", 0).isNull());
    EXPECT_STREQ(zelGetError(), "the BMP file is cut short");
    EXPECT_TRUE(ZelBitmap::Load("none.bmp", "/PICS", 0).isNull());
    EXPECT_EQ(std::string(zelGetError()), "cannot find the bitmap 'none.bmp' in /PICS below the data roots " + root +
                                              ", nor on the disk");
}

}  // namespace
