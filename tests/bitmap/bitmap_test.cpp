// Bitmap records: the header Create writes, the row-span and clip-region attachments.

#include <cstring>

#include <gtest/gtest.h>

#include "bitmap/blit.h"
#include "test_support.h"

namespace {

using zeltest::liveBlockCount;

// Size, origin point, attachment kind and width shift.
std::string header(const HClass<ZelBitmap>& h)
{
    const Bitmap& b = *h.get();
    return std::to_string(b.width) + "x" + std::to_string(b.height) + " @" + std::to_string(b.originX) + "," +
           std::to_string(b.originY) + " kind " + std::to_string(b.attachKind()) + " shift " +
           std::to_string(b.widthShift()) + (b.attachment.isNull() ? "" : " attached");
}

// Created again, a bitmap keeps handle, pixels and upper flag bits. Sizes below 0
// or beyond 32 bits are refused and leave a reused bitmap as it was.
TEST(BitmapCreate, HeaderReuseAndRefusedSizes)
{
    for (auto [w, shift] : {std::pair{256, 8u}, {320, 0u}, {1, 0u}, {2, 1u}, {0, 31u}, {1 << 30, 30u}})
        EXPECT_EQ(Bitmap::widthShiftOf(w), shift) << w;
    zeltest::TestBitmap b(7, 3), empty(0, 0);
    EXPECT_EQ(header(b.h), "7x3 @0,0 kind 0 shift 0");
    EXPECT_EQ(std::make_tuple(ZelMem::GetPtrSize(b.h.get()), ZelMem::GetPtrSize(empty.h.get())),
              std::make_tuple(41u, 20u));
    EXPECT_STREQ(ZelMem::GetPtrData(b.h.get()), "ZelBitmap::Create");
    EXPECT_EQ(b->pixelAt(3, 2) - b->pixels(), 17);
    b->originX = 3, b->originY = 2, b->flags |= 0xab00;
    std::memset(b->pixels(), 7, 21);
    ASSERT_EQ(ZelBitmap::Create(4, 2, b.h), b.h);
    EXPECT_EQ(header(b.h), "4x2 @0,0 kind 0 shift 2");
    EXPECT_EQ(std::make_tuple(b->flags & 0xff00, b->pixels()[7]), std::make_tuple(0xab00, 7));

    const size_t live = liveBlockCount();
    // 65536 x 65536 would wrap to a header alone; 46341^2 + 20 passes 2^31.
    for (auto [w, h] : {std::pair{65536, 65536}, {46341, 46341}, {-4, 4}, {4, -4}, {1 << 20, 1 << 20}})
        EXPECT_TRUE(ZelBitmap::Create(w, h, w == 1 << 20 ? b.h : HClass<ZelBitmap>()).isNull()) << w << " x " << h;
    EXPECT_EQ(liveBlockCount(), live);
    EXPECT_EQ(header(b.h), "4x2 @0,0 kind 0 shift 2");

    zeltest::ScreenSetup screen(2, 2);  // a capture of 0 x 0 pixels is a bitmap too
    HClass<Bitmap> shot = getImage(0, 0, 0, 0, {});
    EXPECT_EQ(header(shot), "0x0 @0,0 kind 0 shift 31");
    EXPECT_STREQ(ZelMem::GetPtrData(shot.get()), "ZelBitmap (getImage)");
    shot.release();
}

// Each row's transparent ends (an empty row is all trail); a new table frees the old.
TEST(RowSpans, MeasureTransparentEndsAndRebuildInPlace)
{
    zeltest::TestBitmap b(6, 4, "..5.7.\n9.....\n......\n123456\n");
    const auto spans = [&] {
        b->createLineIndexes();
        std::string s = "kind " + std::to_string(b->attachKind());
        for (int y = 0; y < 4; ++y) {
            const RowSpan& r = HSimple<RowSpan>(b->attachment).get()[y];
            s.append(" ").append(std::to_string(r.lead)).append(",").append(std::to_string(r.trail));
        }
        return s;
    };
    EXPECT_EQ(spans(), "kind 3 2,1 0,5 0,6 0,0");
    const size_t live = liveBlockCount();
    zeltest::paint(*b.h.get(), "......\n.1....\n.....1\n1.....\n");
    EXPECT_EQ(spans(), "kind 3 0,6 1,4 5,0 0,5");
    EXPECT_EQ(liveBlockCount(), live);
}

// Regions nest and pop back to none, and free a row-span table; releasing frees the
// stack, also as a push without memory leaves it (no region). Upper flag bits stay.
TEST(ClipStack, PushPopNestAndRelease)
{
    zeltest::TestBitmap b(4, 4, "1111\n1111\n1111\n1111\n");
    b->flags |= 0x5a00;
    const size_t live = liveBlockCount();
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{0, 0, 20, 20, 0, 0, {}});
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{2, 3, 8, 9, 1, 1, {}});
    EXPECT_EQ(std::make_tuple(b->clipRgn()->left, b->clipRgn()->originY), std::make_tuple(2, 1));
    EXPECT_STREQ(ZelMem::GetPtrData(b->clipRgn()), "ZelClipRgn");
    EXPECT_EQ(liveBlockCount(), live + 2);
    ZelBitmap::popClipRgn(b.h);
    EXPECT_EQ(header(b.h), "4x4 @0,0 kind 1 shift 2 attached");
    EXPECT_TRUE(b->clipRgn()->right == 20 && b->clipRgn()->next.handle.isNull());
    ZelBitmap::popClipRgn(b.h);
    EXPECT_EQ(header(b.h), "4x4 @0,0 kind 0 shift 2");
    EXPECT_EQ(liveBlockCount(), live);

    b->createLineIndexes();
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{0, 0, 4, 4, 0, 0, {}});
    EXPECT_EQ(liveBlockCount(), live + 1);
    ZelBitmap::pushClipRgn(b.h, ZelClipRgn{1, 1, 3, 3, 0, 0, {}});
    b->releaseAttachment();
    EXPECT_EQ(liveBlockCount(), live);
    b->setAttachKind(AttachClipRgn);
    b->releaseAttachment();
    EXPECT_EQ(header(b.h), "4x4 @0,0 kind 0 shift 2");
    EXPECT_EQ(b->flags & 0xff00, 0x5a00);
}

}  // namespace
