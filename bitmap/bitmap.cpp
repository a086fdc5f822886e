// Creation of bitmaps, their attachments, the row-span table and the clip
// region stack kept on a bitmap.

#include "bitmap/bitmap.h"

#include <algorithm>
#include <bit>
#include <cstring>

HClass<ZelBitmap> ZelBitmap::Screen;

unsigned Bitmap::widthShiftOf(int32_t width)
{
    if (width == 0)
        return 31;
    uint32_t w = static_cast<uint32_t>(width);
    return std::has_single_bit(w) ? static_cast<unsigned>(std::countr_zero(w)) : 0u;
}

HClass<ZelBitmap> ZelBitmap::Create(int width, int height, HClass<ZelBitmap> reuse)
{
    // The size must be representable as the signed 32-bit byte count the
    // record is addressed with; anything larger is refused, never wrapped.
    int64_t size = static_cast<int64_t>(sizeof(Bitmap)) + static_cast<int64_t>(width) * height;
    if (width < 0 || height < 0 || size > INT32_MAX)
        return {};

    const bool fresh = !reuse.isValid();
    reuse.resize(static_cast<unsigned>(size));
    ZelBitmap* bitmap = reuse.get();
    if (!bitmap || ZelMem::GetPtrSize(bitmap) < static_cast<unsigned>(size))
        return {};

    ZelMem::SetPtrData(bitmap, "ZelBitmap::Create");
    if (fresh)
        bitmap->flags = 0;
    bitmap->attachment = HAny<void>();
    bitmap->setAttachKind(AttachNone);
    bitmap->width = width;
    bitmap->height = height;
    bitmap->originX = 0;
    bitmap->originY = 0;
    bitmap->setWidthShift(width);
    return reuse;
}

// Scans every row for its transparent ends. The allocation may move this very
// record, so it is found again through its handle afterwards.
void ZelBitmap::createLineIndexes()
{
    releaseAttachment();
    const HClass<ZelBitmap> self(ZelMemHandles::FindHandle(this));

    HSimple<RowSpan> table;
    uint64_t bytes = static_cast<uint64_t>(height > 0 ? height : 0) * sizeof(RowSpan);
    if (bytes <= UINT32_MAX)
        table.alloc(static_cast<unsigned>(bytes));

    ZelBitmap* bitmap = self.isNull() ? this : self.get();
    RowSpan* spans = table.get();
    if (!spans && bytes != 0)
        return;  // no memory for the table: the bitmap stays without attachment

    const int32_t w = bitmap->width;
    for (int32_t y = 0; y < bitmap->height; ++y) {
        const unsigned char* row = bitmap->pixelAt(0, y);
        int32_t first = 0;
        while (first < w && row[first] == 0)
            ++first;
        if (first == w) {
            spans[y] = {0, static_cast<uint16_t>(w)};
            continue;
        }
        int32_t last = w - 1;
        while (row[last] == 0)
            --last;
        spans[y] = {static_cast<uint16_t>(first), static_cast<uint16_t>(w - 1 - last)};
    }
    bitmap->attachment = table;
    bitmap->setAttachKind(AttachRowSpans);
}

void Bitmap::releaseAttachment()
{
    switch (attachKind()) {
    case AttachClipRgn:
        while (attachKind() == AttachClipRgn && attachment.isPresent())
            popClipRgn();
        break;
    case AttachPalette:
    case AttachRowSpans:
        attachment.release();
        break;
    default:
        break;
    }
    setAttachKind(AttachNone);
}

int32_t Bitmap::rowsWithin(int64_t offset, int32_t rows) const
{
    const int64_t size = int64_t{width} * height;
    if (rows <= 0 || width < 0 || height < 0 || offset < 0 || offset > size)
        return 0;
    return width == 0 ? rows : static_cast<int32_t>(std::min<int64_t>(rows, (size - offset) / width));
}

void Bitmap::popClipRgn()
{
    HClass<ZelClipRgn> top(attachment);
    ZelClipRgn* region = top.get();
    if (!region)
        return;
    HClass<ZelClipRgn> below = region->next.handle;
    top.destroy();
    attachment = below;
    if (!below.resolves())
        setAttachKind(AttachNone);
}

void ZelBitmap::popClipRgn(HClass<ZelBitmap> bitmap)
{
    if (ZelBitmap* b = bitmap.get())
        b->popClipRgn();
}

void ZelBitmap::pushClipRgn(HClass<ZelBitmap> bitmap, const ZelClipRgn& value)
{
    ZelBitmap* b = bitmap.get();
    if (!b)
        return;
    switch (b->attachKind()) {
    case AttachClipRgn:
        break;  // the new region goes on top of the existing stack
    case AttachPalette:
    case AttachRowSpans:
        b->attachment.release();
        break;
    default:
        b->setAttachKind(AttachNone);
        break;
    }
    b->setAttachKind(AttachClipRgn);

    // The allocation may move the bitmap; it is resolved again below.
    void* block = ZelMEMTmp::Malloc(sizeof(ZelClipRgn));
    ZelMem::SetPtrData(block, "ZelClipRgn");
    HClass<ZelClipRgn> region;
    region.adopt(block);
    if (region.isNull() && block)
        ZelMEMTmp::Free(block);

    b = bitmap.get();
    ZelClipRgn* r = region.get();
    if (!r) {
        // Without memory for the region the bitmap is left without one; the
        // regions beneath are freed rather than lost.
        b->releaseAttachment();
        b->setAttachKind(AttachClipRgn);
        b->attachment = HAny<void>();
        return;
    }
    *r = value;
    r->next = {HClass<ZelClipRgn>(b->attachment), 0};
    b->attachment = region;
}
