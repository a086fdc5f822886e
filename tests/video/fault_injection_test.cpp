// Out of memory at every allocation of a start-up and of the loaders: each
// ends in its defined result, without a crash and without leaving a block.

#include <gtest/gtest.h>

#include "bitmap/blit.h"
#include "draw/smart_line.h"
#include "driver_fixture.h"
#include "font/font.h"
#include "test_support.h"
#include "video/driver.h"
#include "video/screen.h"

namespace {

class OutOfMemory : public zeltest::DriverTest {
protected:
    void TearDown() override
    {
        ZelMem::SetFailAfter(0);
        DriverTest::TearDown();
    }
};

TEST_F(OutOfMemory, FailingAllocationsAreCountedAndRefused)
{
    ZelMem::SetFailAfter(3);
    HSimple<char> a, b, c;
    a.alloc(8);
    void* tmp = ZelMEMTmp::Malloc(8);
    b.alloc(8);  // the third allocation
    EXPECT_TRUE(a.resolves());
    EXPECT_NE(tmp, nullptr);
    EXPECT_TRUE(b.isNull());
    EXPECT_EQ(ZelMEMTmp::Realloc(tmp, 64), nullptr);  // and every later one
    EXPECT_EQ(ZelMem::GetPtrSize(tmp), 8u);
    EXPECT_EQ(ZelMem::AllocationCount(), 4u);
    ZelMem::SetFailAfter(0);
    c.alloc(8);
    EXPECT_TRUE(c.resolves());
    a.release();
    c.release();
    ZelMEMTmp::Free(tmp);
}

TEST_F(OutOfMemory, AllocationsAboveTheCeilingFail)
{
    ZelMem::SetLargestAllocation(100);
    HSimple<char> small, large;
    small.alloc(100);
    large.alloc(101);
    EXPECT_TRUE(small.resolves());
    EXPECT_TRUE(large.isNull());
    void* tmp = ZelMEMTmp::Malloc(50);
    EXPECT_EQ(ZelMEMTmp::Realloc(tmp, 101), nullptr);
    ZelMEMTmp::Free(tmp);
    EXPECT_EQ(ZelBitmap::Create(11, 10, {}).resolves(), false);
    ZelMem::SetLargestAllocation(0);
    large.alloc(101);
    EXPECT_TRUE(large.resolves());
    small.release();
    large.release();
}

// Walks the failure over every allocation a successful start-up makes.
TEST_F(OutOfMemory, EveryAllocationOfStartUpCanFail)
{
    writeSystemFiles();
    ZelMem::SetFailAfter(0);
    ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
    const unsigned long needed = ZelMem::AllocationCount();
    ZelVideo::deinit();
    ASSERT_GT(needed, 5u);
    for (unsigned long n = 1; n <= needed; ++n) {
        ZelMem::SetFailAfter(n);
        testing::internal::CaptureStdout();
        const signed char started = ZelVideo::init("testdrv", "test.pal", "test.fnt");
        testing::internal::GetCapturedStdout();
        ZelMem::SetFailAfter(0);
        EXPECT_TRUE(started == 0 || started == -1) << n;
        ZelVideo::deinit();
        deinitGraphics();
        ZelFont::unloadAll();
        for (unsigned char** table : {&ZelVideo::shadeDark, &ZelVideo::shadeLight}) {
            ZelMEMTmp::Free(*table);
            *table = nullptr;
        }
        ZelMEMTmp::Free(ZelVideo::lineOff);
        ZelVideo::lineOff = nullptr;
        EXPECT_EQ(zeltest::liveBlockCount(), liveBefore) << "allocation " << n;
    }
}

TEST_F(OutOfMemory, LoadersAndCaptureReturnNullHandles)
{
    writeSystemFiles();
    ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
    for (unsigned long n = 1; n <= 4; ++n) {
        ZelMem::SetFailAfter(n);
        testing::internal::CaptureStdout();
        const int font = ZelFont::load("test.fnt", "/CDDATA/SYSTEM");
        HClass<Bitmap> shot = getImage(0, 0, 8, 8, HClass<Bitmap>());
        ZelSmartLine line{HSimple<unsigned char>(), {0, 0}, {0, 0}, 0};
        line.draw(0, 0, 10, 5, 3);
        testing::internal::GetCapturedStdout();
        ZelMem::SetFailAfter(0);
        EXPECT_EQ(line.drawn, 0) << n;
        line.free();
        if (font >= 0)
            ZelFont::unload(font);
        shot.release();
    }
    ZelVideo::deinit();
}

TEST_F(OutOfMemory, RegionPushAndScaledPieceFailQuietly)
{
    zeltest::ScreenSetup screen(16, 16, 7);
    zeltest::TestBitmap strip(4, 8, "1111\n1111\n2222\n2222\n3333\n3333\n4444\n4444\n");
    ZelMem::SetFailAfter(1);
    ZelBitmap::PutAggregateScale(2, 2, 8, 2, strip.h, 32768);
    ZelBitmap::pushClipRgn(ZelBitmap::Screen, ZelClipRgn{0, 0, 8, 8, 0, 0, {}});
    ZelMem::SetFailAfter(0);
    EXPECT_EQ(zeltest::pixels(screen.bitmap()), std::vector<unsigned char>(256, 7));
    // A failed push leaves the bitmap with its kind set and no region.
    EXPECT_EQ(ZelBitmap::Screen->attachKind(), unsigned(AttachClipRgn));
    EXPECT_TRUE(ZelBitmap::Screen->attachment.isNull());
}

}  // namespace
