// The bitmap record: a 20-byte header followed by the pixels, one palette
// index per byte, rows top first without padding. Sprites, glyphs, captured
// areas and the screen buffer itself are all bitmaps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "draw/cliprgn.h"
#include "video/file.h"
#include "video/handles.h"
#include "video/zelapi.h"

// What a bitmap's attachment handle names (bits 5 to 7 of flags).
enum AttachKind : unsigned {
    AttachNone = 0,
    AttachClipRgn = 1,   // top of the clip region stack
    AttachPalette = 2,   // 768-byte palette of a loaded BMP
    AttachRowSpans = 3,  // one RowSpan per row
};

// Transparent pixels at both ends of a row.
struct RowSpan {
    uint16_t lead;   // zeros before the first opaque pixel
    uint16_t trail;  // zeros after the last opaque pixel; width when none
};

struct ZELGFX_API Bitmap {
    int32_t width;
    int32_t height;
    int32_t originX;  // hot spot, in source pixels from the left column
    int32_t originY;  // hot spot, in source pixels from the top row
    uint16_t flags;   // bits 0-4 widthShift, 5-7 attachKind, 8-15 untouched
    HAny<void> attachment;

    static constexpr uint16_t WidthShiftMask = 0x001f;
    static constexpr uint16_t AttachKindMask = 0x00e0;

    // The pixels follow the header in the same block.
    unsigned char* pixels() { return reinterpret_cast<unsigned char*>(this + 1); }
    const unsigned char* pixels() const { return reinterpret_cast<const unsigned char*>(this + 1); }

    // Address of pixel (x, y); no bounds test.
    unsigned char* pixelAt(int x, int y)
    {
        return pixels() + static_cast<ptrdiff_t>(y) * width + x;
    }

    // How many of rows rows starting at byte offset of the pixels lie wholly
    // within them: a piece reaching past the pixels is cut to them, one
    // starting outside them has none.
    int32_t rowsWithin(int64_t offset, int32_t rows) const;

    // log2 of a power-of-two width, 0 for other widths, 31 for width 0.
    static unsigned widthShiftOf(int32_t width);
    unsigned widthShift() const { return flags & WidthShiftMask; }
    void setWidthShift(int32_t forWidth)
    {
        flags = static_cast<uint16_t>((flags & ~WidthShiftMask) | widthShiftOf(forWidth));
    }

    unsigned attachKind() const { return (flags & AttachKindMask) >> 5; }
    void setAttachKind(unsigned kind)
    {
        flags = static_cast<uint16_t>((flags & ~AttachKindMask) | ((kind & 7u) << 5));
    }

    HClass<ZelClipRgn> clipRgnHandle() const { return HClass<ZelClipRgn>(attachment); }
    // Top clip region; the caller knows the stack exists.
    ZelClipRgn* clipRgn() const { return clipRgnHandle().get(); }

    // What drawing into the bitmap clips to: its top clip region cut to its
    // pixels, so that a region reaching past them draws only what lies on
    // them. None when no region is attached.
    // Inline: every screen primitive asks for it at each call.
    std::optional<ZelClipRgn> drawingRgn() const
    {
        if (attachKind() != AttachClipRgn)
            return std::nullopt;
        const ZelClipRgn* top = clipRgn();
        if (!top)
            return std::nullopt;
        return top->cutTo(width, height);
    }

    // Frees whatever the attachment names and clears attachKind.
    void releaseAttachment();
    // Removes and frees the top clip region.
    void popClipRgn();
};

class ZELGFX_API ZelBitmap : public Bitmap {
public:
    // The bitmap whose pixels are the screen buffer; 65535 without video.
    static HClass<ZelBitmap> Screen;

    // A bitmap of the given size, re-using the block of reuse when that handle
    // is valid. 65535 when no block could be had or the size does not fit in
    // 32 bits. The pixels are not initialised.
    static HClass<ZelBitmap> Create(int width, int height, HClass<ZelBitmap> reuse);

    // Loaders; each returns the new bitmap or 65535. format 0 chooses by the
    // name's extension (by name) or tries BMP then the engine format (on a
    // file); 1 the engine format; 2 Windows BMP 3.0; 3 and above try BMP, then
    // rewind and read the engine format.
    static HClass<ZelBitmap> Load(const char* name, const char* dir, unsigned char format);
    static HClass<ZelBitmap> Load(ZelFile& file, unsigned char format);
    static HClass<ZelBitmap> LoadZelBitmap(ZelFile& file);
    static HClass<ZelBitmap> LoadWinBmp30(ZelFile& file);

    // Draws the piece of rows rows starting at byte offset of the pixels, with
    // the bitmap's origin point at (x, y); mode 1 transparent, 0 opaque.
    static void PutAggregate(int x, int y, int offset, int rows, HClass<Bitmap> bitmap, unsigned char mode);
    // The same piece scaled by a 16.16 step, as bmpZoomImage draws.
    static void PutAggregateScale(int x, int y, int offset, int rows, HClass<Bitmap> bitmap, int zoom);
    // Draws this bitmap into target with its origin point at pos, clipped to
    // the target's top region (or the whole target); mode 1 transparent.
    void put(const ZelVector2& pos, unsigned char mode, HClass<ZelBitmap> target) const;
    // Draws this bitmap into target scaled by a 16.16 step, transparent.
    void zoom(const ZelVector2& pos, unsigned int scale, HClass<ZelBitmap> target) const;

    // Builds and attaches the row-span table from the current pixels.
    void createLineIndexes();

    // Puts a copy of value on top of the bitmap's clip region stack.
    static void pushClipRgn(HClass<ZelBitmap> bitmap, const ZelClipRgn& value);
    static void popClipRgn(HClass<ZelBitmap> bitmap);
    using Bitmap::popClipRgn;
};

static_assert(sizeof(Bitmap) == 20);
static_assert(sizeof(ZelBitmap) == sizeof(Bitmap));
static_assert(sizeof(RowSpan) == 4);
