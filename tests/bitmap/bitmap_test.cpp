// Bitmap records: the header Create writes, the row-span table and the clip
// region stack kept as attachments, and the blocks each owns.

#include <cstring>

#include <gtest/gtest.h>

#include "bitmap/blit.h"
#include "test_support.h"

namespace {

using zeltest::liveBlockCount;
using Owned = zeltest::TestBitmap;

// Shape of a bitmap's header: width, height, origin, attachment kind, shift.
std::string header(const Bitmap& b)
{
    return std::to_string(b.width) + "x" + std::to_string(b.height) + " @" + std::to_string(b.originX) + "," +
           std::to_string(b.originY) + " kind " + std::to_string(b.attachKind()) + " shift " +
           std::to_string(b.widthShift()) + (b.attachment.isNull() ? "" : " attached");
}

// A fresh header follows its 20 bytes; a re-created bitmap keeps its handle,
// its pixels up to the smaller size and the upper flag bits. Sizes below 0
// or beyond 32 bits are refused, leaving a reused bitmap as it was.
TEST(BitmapCreate, HeaderReuseAndRefusedSizes)
{
    for (auto [w, shift] : {std::pair{256, 8u}, {320, 0u}, {1, 0u}, {2, 1u}, {0, 31u}, {1 << 30, 30u}})
        EXPECT_EQ(Bitmap::widthShiftOf(w), shift) << w;
    Owned b(7, 3), empty(0, 0);
    EXPECT_EQ(header(*b.h.get()), "7x3 @0,0 kind 0 shift 0");
    EXPECT_EQ(std::make_tuple(ZelMem::GetPtrSize(b.h.get()), ZelMem::GetPtrSize(empty.h.get())), std::make_tuple(41u, 20u));
    EXPECT_STREQ(ZelMem::GetPtrData(b.h.get()), "ZelBitmap::Create");
    EXPECT_EQ(b->pixelAt(3, 2) - b->pixels(), 17);

    b->originX = 3;
    b->originY = 2;
    b->flags |= 0xab00;
    std::memset(b->pixels(), 7, 21);
    ASSERT_EQ(ZelBitmap::Create(4, 2, b.h), b.h);
    EXPECT_EQ(header(*b.h.get()), "4x2 @0,0 kind 0 shift 2");
    EXPECT_EQ(std::make_tuple(b->flags & 0xff00, b->pixels()[7]), std::make_tuple(0xab00, 7));

    const size_t live = liveBlockCount();
    // 65536 x 65536 would wrap to a header alone; 46341^2 + 20 passes 2^31.
    for (auto [w, h] : {std::pair{65536, 65536}, {46341, 46341}, {-4, 4}, {4, -4}, {1 << 20, 1 << 20}})
        EXPECT_TRUE(ZelBitmap::Create(w, h, w == 1 << 20 ? b.h : 65535).isNull()) << w << " x " << h;
    EXPECT_EQ(liveBlockCount(), live);
    EXPECT_EQ(header(*b.h.get()), "4x2 @0,0 kind 0 shift 2");

    // A capture 0 pixels wide is a bitmap too.
    zeltest::ScreenSetup screen(2, 2);
    HClass<Bitmap> shot = getImage(0, 0, 0, 2, {});
    ASSERT_TRUE(shot.resolves());
    EXPECT_EQ(header(*shot.get()), "0x2 @0,0 kind 0 shift 31");
    EXPECT_STREQ(ZelMem::GetPtrData(shot.get()), "ZelBitmap (getImage)");
    shot.release();
}

// Each row's transparent lead and trail; an empty row is all trail.
// Rebuilding replaces the table and frees the old one.
TEST(RowSpans, MeasureTransparentEndsAndRebuildInPlace)
{
    Owned b(6, 4, "..5.7.\n9.....\n......\n123456\n");
    const auto spans = [&] {
        b->createLineIndexes();
        std::string s = "kind " + std::to_string(b->attachKind());
        const RowSpan* r = HSimple<RowSpan>(b->attachment).get();
        for (int y = 0; y < 4; ++y)
            s.append(" ").append(std::to_string(r[y].lead)).append(",").append(std::to_string(r[y].trail));
        return s;
    };
    EXPECT_EQ(spans(), "kind 3 2,1 0,5 0,6 0,0");
    const size_t live = liveBlockCount();
    zeltest::paint(*b.h.get(), "......\n.1....\n.....1\n1.....\n");
    EXPECT_EQ(spans(), "kind 3 0,6 1,4 5,0 0,5");
    EXPECT_EQ(liveBlockCount(), live);
}

// Regions nest and pop back to none; a region pushed over a row-span table
// frees it; releasing the attachment frees the whole stack, also in the state
// a push without memory leaves (the kind without a region); the upper flag
// bits survive every change.
TEST(ClipStack, PushPopNestAndRelease)
{
    Owned b(4, 4, "1111\n1111\n1111\n1111\n");
    b->flags |= 0x5a00;
    const size_t live = liveBlockCount();
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{0, 0, 20, 20, 0, 0, {}});
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{2, 3, 8, 9, 1, 1, {}});
    ASSERT_EQ(b->attachKind(), unsigned(AttachClipRgn));
    EXPECT_EQ(std::make_tuple(b->clipRgn()->left, b->clipRgn()->originY), std::make_tuple(2, 1));
    EXPECT_STREQ(ZelMem::GetPtrData(b->clipRgn()), "ZelClipRgn");
    EXPECT_EQ(liveBlockCount(), live + 2);
    ZelBitmap::popClipRgn(b.h);
    ASSERT_EQ(b->attachKind(), unsigned(AttachClipRgn));
    EXPECT_EQ(b->clipRgn()->right, 20);
    EXPECT_TRUE(b->clipRgn()->next.handle.isNull());
    ZelBitmap::popClipRgn(b.h);
    EXPECT_EQ(header(*b.h.get()), "4x4 @0,0 kind 0 shift 2");
    EXPECT_EQ(liveBlockCount(), live);

    b->createLineIndexes();
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{0, 0, 4, 4, 0, 0, {}});
    EXPECT_EQ(liveBlockCount(), live + 1);
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{1, 1, 3, 3, 0, 0, {}});
    b->releaseAttachment();
    EXPECT_EQ(liveBlockCount(), live);
    b->setAttachKind(AttachClipRgn);
    b->releaseAttachment();
    EXPECT_EQ(header(*b.h.get()), "4x4 @0,0 kind 0 shift 2");
    EXPECT_EQ(b->flags & 0xff00, 0x5a00);
}

}  // namespace
