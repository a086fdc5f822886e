// Bitmap creation, width shifts, pixel addressing, row spans and the clip
// region stack with its attachments.

#include <cstring>

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"
#include "test_support.h"

namespace {

using zeltest::paint;

using OwnedBitmap = zeltest::TestBitmap;

TEST(BitmapCreate, WidthShiftFollowsPowersOfTwo)
{
    EXPECT_EQ(OwnedBitmap(256, 10)->widthShift(), 8u);
    EXPECT_EQ(OwnedBitmap(320, 10)->widthShift(), 0u);
    EXPECT_EQ(OwnedBitmap(1, 3)->widthShift(), 0u);
    EXPECT_EQ(OwnedBitmap(2, 3)->widthShift(), 1u);
    EXPECT_EQ(OwnedBitmap(0, 0)->widthShift(), 31u);
    EXPECT_EQ(Bitmap::widthShiftOf(1 << 30), 30u);
}

TEST(BitmapCreate, WritesAFreshHeader)
{
    OwnedBitmap b(7, 3);
    ASSERT_TRUE(b.h.resolves());
    EXPECT_EQ(b->width, 7);
    EXPECT_EQ(b->height, 3);
    EXPECT_EQ(b->originX, 0);
    EXPECT_EQ(b->originY, 0);
    EXPECT_EQ(b->attachKind(), 0u);
    EXPECT_TRUE(b->attachment.isNull());
    EXPECT_EQ(ZelMem::GetPtrSize(b.h.get()), 20u + 21u);
    EXPECT_STREQ(ZelMem::GetPtrData(b.h.get()), "ZelBitmap::Create");
}

TEST(BitmapCreate, ZeroSizeHasHeaderOnly)
{
    OwnedBitmap b(0, 0);
    ASSERT_FALSE(b.h.isNull());
    EXPECT_EQ(ZelMem::GetPtrSize(b.h.get()), 20u);
}

TEST(BitmapCreate, ReuseKeepsHandleAndResetsHeaderButNotUpperFlags)
{
    OwnedBitmap b(4, 4);
    b->originX = 3;
    b->originY = 2;
    b->flags |= 0xab00;
    std::memset(b->pixels(), 7, 16);
    HClass<ZelBitmap> again = ZelBitmap::Create(8, 2, b.h);
    ASSERT_EQ(again, b.h);
    EXPECT_EQ(b->width, 8);
    EXPECT_EQ(b->originX, 0);
    EXPECT_EQ(b->originY, 0);
    EXPECT_EQ(b->widthShift(), 3u);
    EXPECT_EQ(b->flags & 0xff00, 0xab00);
    EXPECT_EQ(b->pixels()[15], 7);  // contents kept up to the smaller size
}

TEST(BitmapCreate, RefusesSizesBeyondThirtyTwoBits)
{
    size_t before = zeltest::liveBlockCount();
    EXPECT_TRUE(ZelBitmap::Create(65536, 65536, {}).isNull());  // wraps to 20 bytes in 32 bits
    EXPECT_TRUE(ZelBitmap::Create(46341, 46341, {}).isNull());
    EXPECT_TRUE(ZelBitmap::Create(-4, 4, {}).isNull());
    EXPECT_TRUE(ZelBitmap::Create(-4, -4, {}).isNull());
    EXPECT_EQ(zeltest::liveBlockCount(), before);

    // A refused re-creation leaves the reused bitmap as it was.
    OwnedBitmap b(3, 3);
    EXPECT_TRUE(ZelBitmap::Create(1 << 20, 1 << 20, b.h).isNull());
    ASSERT_TRUE(b.h.resolves());
    EXPECT_EQ(b->width, 3);
}

TEST(Bitmap, PixelAtIsRowMajorWithWidthStride)
{
    OwnedBitmap b(10, 4);
    EXPECT_EQ(b->pixelAt(3, 2) - b->pixels(), 23);
    EXPECT_EQ(b->pixelAt(0, 0), b->pixels());
}

TEST(RowSpans, MeasureTransparentEnds)
{
    OwnedBitmap b(6, 4);
    paint(*b.h.get(),
          "..5.7.\n"
          "9.....\n"
          "......\n"
          "123456\n");
    b->createLineIndexes();
    ASSERT_EQ(b->attachKind(), unsigned(AttachRowSpans));
    const RowSpan* s = HSimple<RowSpan>(b->attachment).get();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s[0].lead, 2);
    EXPECT_EQ(s[0].trail, 1);
    EXPECT_EQ(s[1].lead, 0);
    EXPECT_EQ(s[1].trail, 5);
    EXPECT_EQ(s[2].lead, 0);
    EXPECT_EQ(s[2].trail, 6);
    EXPECT_EQ(s[3].lead, 0);
    EXPECT_EQ(s[3].trail, 0);
}

TEST(RowSpans, RebuildingReplacesAndFreesTheOldTable)
{
    OwnedBitmap b(3, 2);
    paint(*b.h.get(), "1..\n..1\n");
    b->createLineIndexes();
    size_t live = zeltest::liveBlockCount();
    paint(*b.h.get(), "...\n.1.\n");
    b->createLineIndexes();
    EXPECT_EQ(zeltest::liveBlockCount(), live);
    const RowSpan* s = HSimple<RowSpan>(b->attachment).get();
    EXPECT_EQ(s[0].trail, 3);
    EXPECT_EQ(s[1].lead, 1);
    EXPECT_EQ(s[1].trail, 1);
}

TEST(ClipStack, PushPopNestsAndClearsKindWhenEmpty)
{
    OwnedBitmap b(20, 20);
    size_t live = zeltest::liveBlockCount();
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{0, 0, 20, 20, 0, 0, {}});
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{2, 3, 8, 9, 1, 1, {}});
    ASSERT_EQ(b->attachKind(), unsigned(AttachClipRgn));
    ZelClipRgn* top = b->clipRgn();
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->left, 2);
    EXPECT_EQ(top->originY, 1);
    EXPECT_STREQ(ZelMem::GetPtrData(top), "ZelClipRgn");
    EXPECT_EQ(zeltest::liveBlockCount(), live + 2);

    ZelBitmap::popClipRgn(b.h);
    ASSERT_EQ(b->attachKind(), unsigned(AttachClipRgn));
    EXPECT_EQ(b->clipRgn()->right, 20);
    EXPECT_TRUE(b->clipRgn()->next.handle.isNull());
    ZelBitmap::popClipRgn(b.h);
    EXPECT_EQ(b->attachKind(), 0u);
    EXPECT_EQ(zeltest::liveBlockCount(), live);
}

TEST(ClipStack, PushReplacesRowSpansAndReleaseFreesWholeStack)
{
    OwnedBitmap b(4, 4);
    std::memset(b->pixels(), 1, 16);
    size_t live = zeltest::liveBlockCount();
    b->createLineIndexes();
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{0, 0, 4, 4, 0, 0, {}});
    EXPECT_EQ(zeltest::liveBlockCount(), live + 1);  // span table freed, region added
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{1, 1, 3, 3, 0, 0, {}});
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{1, 1, 2, 2, 0, 0, {}});
    b->releaseAttachment();
    EXPECT_EQ(b->attachKind(), 0u);
    EXPECT_EQ(zeltest::liveBlockCount(), live);
}

TEST(ClipStack, UpperFlagBitsSurviveEveryAttachmentChange)
{
    OwnedBitmap b(2, 2);
    ZelBitmap* bitmap = b.h.get();
    ASSERT_NE(bitmap, nullptr);
    bitmap->flags |= 0x5a00;
    std::memset(bitmap->pixels(), 1, 4);
    b->createLineIndexes();
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{0, 0, 2, 2, 0, 0, {}});
    b->releaseAttachment();
    EXPECT_EQ(b->flags & 0xff00, 0x5a00);
    EXPECT_EQ(b->widthShift(), 1u);
}

}  // namespace
