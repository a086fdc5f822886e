// The Windows BMP 3.0 reader: uncompressed 8 bits per pixel with a full
// 256-entry colour table, which becomes the bitmap's palette attachment.

#include <cstdint>
#include <cstring>
#include <iostream>

#include "bitmap/bitmap.h"
#include "video/last_error.h"

namespace {

constexpr uint16_t BmpFileType = 19778;  // "BM"
constexpr uint32_t BmpInfoSize = 40;
constexpr uint32_t Os2InfoSize = 12;
constexpr int PaletteEntries = 256;

uint16_t le16(const unsigned char* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t le32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Prints the message and records it, without its line end.
HClass<ZelBitmap> refuse(const char* message)
{
    std::cout << message << std::flush;
    zelSetError("%.*s", static_cast<int>(std::strcspn(message, "\n")), message);
    return {};
}

// Records why, silently.
HClass<ZelBitmap> fail(const char* why)
{
    zelSetError("%s", why);
    return {};
}

constexpr const char* CutShort = "the BMP file is cut short";

// Frees a bitmap that failed half-way, palette attachment included.
HClass<ZelBitmap> discard(HClass<ZelBitmap> bitmap, const char* why)
{
    if (ZelBitmap* b = bitmap.get())
        b->releaseAttachment();
    bitmap.release();
    return fail(why);
}

}  // namespace

HClass<ZelBitmap> ZelBitmap::LoadWinBmp30(ZelFile& file)
{
    unsigned char fileHeader[14];
    if (file.read(fileHeader, sizeof fileHeader, 1) != 1)
        return fail(CutShort);
    if (le16(fileHeader) != BmpFileType)
        return refuse("ERROR: not a Windows Bitmap file\n");

    uint32_t infoSize = 0;
    if (file.read(&infoSize, 4, 1) != 1)
        return fail(CutShort);
    if (infoSize == Os2InfoSize)
        return refuse("Error: unsupported info header\n");
    if (infoSize != BmpInfoSize)
        return refuse("Error: unknown info header\n");

    unsigned char info[36];
    if (file.read(info, sizeof info, 1) != 1)
        return fail(CutShort);
    const int32_t width = static_cast<int32_t>(le32(info));
    const int32_t fileHeight = static_cast<int32_t>(le32(info + 4));
    if (le16(info + 8) != 1)
        return refuse("ERROR: unsupported plane depth\n");
    if (le16(info + 10) != 8)
        return refuse("ERROR: unsupported color depth\n");
    if (le32(info + 12) != 0)
        return refuse("ERROR: unsupported compression method\n");

    // A negative height marks a top-down BMP: its rows are stored top row
    // first. INT32_MIN has no positive counterpart and is refused. A negative
    // width, or a size beyond 32 bits, is refused by Create.
    if (fileHeight == INT32_MIN)
        return fail("the BMP file's height is out of range");
    const bool topDown = fileHeight < 0;
    const int32_t height = topDown ? -fileHeight : fileHeight;

    HClass<ZelBitmap> bitmap = Create(width, height, {});
    if (!bitmap.resolves()) {
        zelSetError("no bitmap of %d x %d pixels: a negative or too large size, or no memory", width, height);
        return {};
    }

    HSimple<unsigned char> palette;
    palette.alloc(3 * PaletteEntries);
    if (!palette.resolves())
        return discard(bitmap, "no memory for the BMP file's palette");
    ZelMem::SetPtrData(palette.get(), "Palette");
    // The allocation may have moved the bitmap: resolve it again.
    ZelBitmap* b = bitmap.get();
    b->releaseAttachment();
    b->setAttachKind(AttachPalette);
    b->attachment = palette;

    unsigned char table[PaletteEntries][4];
    for (auto& entry : table)
        if (file.read(entry, 4, 1) != 1)
            return discard(bitmap, CutShort);
    unsigned char* rgb = palette.get();
    for (int i = 0; i < PaletteEntries; ++i) {
        rgb[3 * i] = table[i][2] >> 2;      // red
        rgb[3 * i + 1] = table[i][1] >> 2;  // green
        rgb[3 * i + 2] = table[i][0] >> 2;  // blue
    }

    // Rows are padded to a multiple of 4 bytes. Each row is read as one item
    // of width bytes, so a bitmap 0 pixels wide with rows fails as a read of
    // an empty item does.
    const int pad = (4 - width % 4) % 4;
    for (int32_t row = 0; row < height; ++row) {
        const int32_t y = topDown ? row : height - 1 - row;
        if (file.read(bitmap->pixelAt(0, y), static_cast<unsigned>(width), 1) != 1)
            return discard(bitmap, width == 0 ? "the BMP file's rows are 0 pixels wide" : CutShort);
        file.seek(pad, 1);
    }
    return bitmap;
}
