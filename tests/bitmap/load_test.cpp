// Loading Windows BMP 3.0 bitmaps from a stream. The engine format is read
// in the fault walk and by the font loader; formats by number and by name and
// the search for the file are in names.scene.

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"
#include "cout_capture.h"
#include "data_files.h"
#include "test_support.h"

namespace {

using zeltest::liveBlockCount;

// A picture of '0'-based digits as a BMP whose colour table entry i is
// (red i, green 255 - i, blue i / 2).
std::string bmp(int w, int h, std::string pixels)
{
    std::string colours;
    for (int i = 0; i < 256; ++i)
        colours += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i / 2)};
    for (char& c : pixels)
        c = static_cast<char>(c - '0');
    return zeltest::bmpFile({w, h, 0, 0, pixels}, colours);
}

std::string patched(std::string s, size_t at, uint32_t v, size_t bytes)
{
    std::string le;
    zeltest::put32(le, v);
    return s.replace(at, bytes, le, 0, bytes);
}

// A loaded bitmap's picture and origin ("null" for none), then what was printed.
std::string loaded(HClass<ZelBitmap> b, zeltest::CoutCapture& out)
{
    ZelBitmap* p = b.get();
    const std::string s = p ? zeltest::picture(*p) + "@" + std::to_string(p->originX) + "," +
                                  std::to_string(p->originY) : "null";
    if (p)
        p->releaseAttachment();
    b.release();
    return s + out.take();
}

std::string load(const std::string& bytes, unsigned char format)
{
    zeltest::CoutCapture out;
    zeltest::BytesFile f(bytes);
    return loaded(ZelBitmap::Load(f, format), out);
}

// Rows bottom first (top first under a negative height), padded, right after the colour
// table, which becomes a 6-bit palette. Headers it cannot read are refused.
TEST(BitmapLoad, BmpRowsPaletteAndHeaders)
{
    zeltest::CoutCapture out;
    zeltest::BytesFile f(bmp(3, 2, "123456") + bmp(4, 3, "123456789123"));
    HClass<ZelBitmap> b = ZelBitmap::LoadWinBmp30(f);
    ASSERT_TRUE(b.resolves() && b->attachKind() == AttachPalette);
    const unsigned char* palette = HSimple<unsigned char>(b->attachment).get();
    EXPECT_EQ(ZelMem::GetPtrSize(palette), 768u);
    EXPECT_STREQ(ZelMem::GetPtrData(palette), "Palette");
    for (int i : {0, 100, 255}) {
        const std::string rgb{char(i >> 2), char((255 - i) >> 2), char(i >> 3)};
        EXPECT_EQ(std::string(palette + 3 * i, palette + 3 * i + 3), rgb) << i;
    }
    EXPECT_EQ(loaded(b, out), "123\n456\n@0,0");
    EXPECT_EQ(loaded(ZelBitmap::LoadWinBmp30(f), out), "1234\n5678\n9123\n@0,0");
    EXPECT_EQ(load(patched(bmp(2, 3, "563412"), 22, -3, 4), 2), "12\n34\n56\n@0,0");

    const std::string good = bmp(2, 1, "12");
    const struct { size_t at, bytes; uint32_t value; const char* printed; } cases[] = {
        {0, 2, 0x4142, "ERROR: not a Windows Bitmap file\n"}, {14, 4, 12, "Error: unsupported info header\n"},
        {14, 4, 108, "Error: unknown info header\n"},         {26, 2, 2, "ERROR: unsupported plane depth\n"},
        {28, 2, 24, "ERROR: unsupported color depth\n"},      {30, 4, 256, "ERROR: unsupported compression method\n"},
        {18, 4, static_cast<uint32_t>(-4), ""},               {22, 4, static_cast<uint32_t>(INT32_MIN), ""}};
    const size_t live = liveBlockCount();
    for (const auto& c : cases)
        EXPECT_EQ(load(patched(good, c.at, c.value, c.bytes), 2), std::string("null") + c.printed);
    EXPECT_EQ(load(patched(patched(good, 18, 65536, 4), 22, 65536, 4), 2), "null");  // 2^32 pixels
    EXPECT_EQ(liveBlockCount(), live);
}

}  // namespace
