// Video brought up and shut down again and again with the test drivers, with
// fonts, palettes, bitmaps, clip regions, drawing and driver changes in
// between: every cycle ends with the blocks, descriptors and modules there
// were before the first.

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/blit.h"
#include "blit/rotate.h"
#include "data_files.h"
#include "draw/draw.h"
#include "driver_fixture.h"
#include "font/font.h"
#include "test_support.h"
#include "video/driver.h"
#include "video/palette.h"
#include "video/screen.h"

namespace {

using LifecycleCycles = zeltest::DriverTest;

// The live blocks as sorted "label size" lines: equal when the same blocks
// are alive, whatever order they were made in.
std::string blockReport()
{
    std::vector<std::string> lines;
    for (const ZelMemBlockInfo& block : ZelMem::LiveBlocks())
        lines.push_back(block.label + " " + std::to_string(block.size) + "\n");
    std::sort(lines.begin(), lines.end());
    std::string report;
    for (const std::string& line : lines)
        report += line;
    return report;
}

TEST_F(LifecycleCycles, EveryCycleGivesBackWhatItTook)
{
    const char* const Keep = reinterpret_cast<const char*>(-1);
    const char* const SystemDir = "/CDDATA/SYSTEM";
    writeSystemFiles();
    std::mt19937 rng(7);
    std::string palette(768, '\0'), tables(2 * 16384, '\0');
    for (std::string* bytes : {&palette, &tables})
        std::generate(bytes->begin(), bytes->end(), [&rng] { return static_cast<char>(rng()); });
    writeFile("CDDATA/SYSTEM/alt.pal", palette);
    writeFile("CDDATA/SYSTEM/alt.DRK", tables.substr(0, 16384));
    writeFile("CDDATA/SYSTEM/alt.LHT", tables.substr(16384));
    std::vector<zeltest::FontGlyph> glyphs;
    for (char code : std::string("ABCxyz"))
        glyphs.emplace_back(static_cast<unsigned char>(code), zeltest::randomPicture(rng, 3 + code % 4, 6));
    writeFile("CDDATA/SYSTEM/alt.fnt", zeltest::fontFile(glyphs));
    zeltest::Picture sprite = zeltest::randomPicture(rng, 13, 7);
    writeFile("CDDATA/SYSTEM/sprite.bmp", zeltest::bmpFile(sprite, palette));
    sprite.originX = 6;
    sprite.originY = 3;
    writeFile("CDDATA/SYSTEM/sprite.zbm", zeltest::engineBitmapFile(sprite));

    const std::string before = blockReport();
    const int descriptors = zeltest::openDescriptors();
    const char* const sizes[] = {"64x40", "50x60", "32x20", "90x64"};
    for (int cycle = 0; cycle < 8; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        setenv("ZEL_TESTDRV_SIZE", sizes[cycle % 4], 1);
        if (cycle % 4 == 2) {
            ASSERT_EQ(ZelVideo::preload("testdrv"), -1);
        }
        if (cycle % 4 == 3) {
            // A start-up that fails at its palette, cleaned up as a program
            // would; the next one reuses what it left.
            ASSERT_EQ(ZelVideo::init("testdrv", "missing.pal", "test.fnt"), 0);
            deinitGraphics();
        }
        ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
        {
            // What a program does with running video: fonts, palettes, shade
            // tables, loaded bitmaps, regions, a capture, fades, a change of
            // palette or of driver, size and font.
            const int alt = ZelFont::load("alt.fnt", SystemDir);
            ASSERT_GE(alt, 1);
            ASSERT_EQ(ZelVideo::loadPalette("alt.pal", static_cast<unsigned>(1 + cycle % 15)), -1);
            ASSERT_EQ(ZelVideo::loadPaletteShades("alt.pal"), -1);
            zeltest::TestBitmap fromBmp, fromEngine, capture;
            fromBmp.h = ZelBitmap::Load("sprite.bmp", SystemDir, 0);
            fromEngine.h = ZelBitmap::Load("sprite.zbm", SystemDir, 1);
            ASSERT_TRUE(fromBmp.h.resolves() && fromEngine.h.resolves());
            fromEngine->createLineIndexes();
            ZelBitmap::pushClipRgn(ZelBitmap::Screen, ZelClipRgn{3, 2, scrWidth - 3, scrHeight - 2, 1, 1, {}});
            putImage(4, 4, fromBmp.h, 0);
            bmpRotImage(12, 9, fromEngine.h, static_cast<unsigned>(cycle) * 5000u, 70000);
            ZelFont::putFormatEx(1, 1, "ABC xyz\nzyx", 4 | 8 | 32, 9, 3, cycle % 2 ? alt : -1);
            capture.h = getImage(0, 0, 16, 12, HClass<Bitmap>());
            ZelBitmap::popClipRgn(ZelBitmap::Screen);
            HSimple<unsigned char> faded;
            faded.alloc(768);
            ZelVideo::FadeOut(0, faded, nullptr);
            ZelVideo::FadeIn(0, faded, nullptr);
            faded.release();
            if (cycle % 2 == 0) {
                ASSERT_EQ(ZelVideo::change(Keep, "alt.pal", Keep), -1);
            } else {
                setenv("ZEL_TESTDRV_SIZE", "48x30", 1);
                ASSERT_EQ(ZelVideo::change(cycle % 4 == 1 ? "testdrv2" : "testdrv", Keep, "alt.fnt"), -1);
        }
        putBar(0, 0, scrWidth, scrHeight, 5);
        if (cycle % 3 == 0)
            ZelFont::unload(alt);  // the others go with the shutdown
        }
        const HMODULE module = driverModule;
        ZelVideo::deinit();
        ZelVideo::deinit();
        EXPECT_FALSE(loaded(module));
        EXPECT_EQ(ZelVideo::graphOn, 0);
        EXPECT_EQ(ZelFont::nFonts, 0);
        EXPECT_TRUE(ZelBitmap::Screen.isNull());
        EXPECT_EQ(blockReport(), before);
        EXPECT_EQ(zeltest::openDescriptors(), descriptors);
    }
}

}  // namespace
