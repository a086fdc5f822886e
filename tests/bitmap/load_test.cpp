// Loading bitmaps: the engine format and Windows BMP 3.0 on an open file,
// the format chosen by number or by file name, and the search through the
// file system with its fall-back to the disk.

#include <climits>
#include <filesystem>

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"
#include "cout_capture.h"
#include "data_files.h"
#include "memory_file.h"
#include "test_support.h"

namespace {

using zeltest::engineBitmapFile;
using zeltest::liveBlockCount;
using zeltest::Picture;

// Pixel values from '0'-based digits.
Picture pic(int w, int h, std::string digits, int ox = 0, int oy = 0)
{
    for (char& c : digits)
        c = static_cast<char>(c - '0');
    return {w, h, ox, oy, digits};
}

// Colour table entry i is (red i, green 255 - i, blue i / 2).
std::string bmp(const Picture& p)
{
    std::string c;
    for (int i = 0; i < 256; ++i)
        c += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i / 2)};
    return zeltest::bmpFile(p, c);
}

std::string patched(std::string s, size_t at, uint32_t v, size_t bytes)
{
    std::string le;
    zeltest::put32(le, v);
    return s.replace(at, bytes, le, 0, bytes);
}

// A loaded bitmap as its picture and origin point, "null" for none; freed
// with its attachment.
std::string loaded(HClass<ZelBitmap> b)
{
    if (!b.get())
        return "null";
    const std::string s = zeltest::picture(*b.get()) + "@" + std::to_string(b->originX) + "," +
                          std::to_string(b->originY);
    b->releaseAttachment();
    b.release();
    return s;
}

// Loads bytes by format; what it printed is appended to the result.
std::string load(const std::string& bytes, unsigned char format)
{
    zeltest::CoutCapture out;
    zeltest::MemoryFile f(bytes);
    const std::string s = loaded(ZelBitmap::Load(f, format));
    return s + out.text();
}

// Format 1 is the engine format, 2 BMP; others try BMP, then the engine format.
TEST(BitmapLoad, EngineFormatAndFormatNumbers)
{
    zeltest::MemoryFile f(engineBitmapFile(pic(2, 2, "1234", 1, 1)) + engineBitmapFile(pic(3, 1, "567", -2, 5)));
    EXPECT_EQ(loaded(ZelBitmap::LoadZelBitmap(f)), "12\n34\n@1,1");
    EXPECT_EQ(loaded(ZelBitmap::LoadZelBitmap(f)), "567\n@-2,5");
    // Cut short after the size: still a bitmap, origin 0.
    EXPECT_EQ(load(engineBitmapFile(pic(3, 0, "", 3, 3)).substr(0, 8), 1), "@0,0");
    const size_t live = liveBlockCount();
    for (auto [w, h] : {std::pair{-3, 2}, {2, -1}, {65536, 65536}})
        EXPECT_EQ(load(engineBitmapFile(Picture{w, h, 0, 0, ""}), 1), "null") << w << " x " << h;
    EXPECT_EQ(load(std::string("\4\0\0\0\1\0", 6), 1), "null");
    EXPECT_EQ(liveBlockCount(), live);

    const std::string engine = engineBitmapFile(pic(1, 1, "7"));
    for (unsigned char format : {0, 3, 255}) {
        EXPECT_EQ(load(engine, format), "7\n@0,0ERROR: not a Windows Bitmap file\n");
        EXPECT_EQ(load(bmp(pic(1, 1, "3")), format), "3\n@0,0");
    }
    EXPECT_EQ(load(engine, 2), "nullERROR: not a Windows Bitmap file\n");
    EXPECT_EQ(load(engine, 1), "7\n@0,0");
}

// Rows are stored bottom first, padded to 4 bytes, right after the colour
// table, which becomes a palette of 6-bit red, green, blue. The file is left
// just past the pixels; a negative height marks rows stored top first.
TEST(BitmapLoad, BmpRowsAndPalette)
{
    zeltest::MemoryFile f(bmp(pic(3, 2, "123456")) + bmp(pic(4, 3, "123456789123")));
    HClass<ZelBitmap> b = ZelBitmap::LoadWinBmp30(f);
    ASSERT_TRUE(b.resolves());
    ASSERT_EQ(b->attachKind(), unsigned(AttachPalette));
    const unsigned char* palette = HSimple<unsigned char>(b->attachment).get();
    EXPECT_EQ(ZelMem::GetPtrSize(palette), 768u);
    EXPECT_STREQ(ZelMem::GetPtrData(palette), "Palette");
    for (int i : {0, 100, 255})
        EXPECT_EQ(std::string(palette + 3 * i, palette + 3 * i + 3), std::string({char(i >> 2), char((255 - i) >> 2), char(i >> 3)}));
    EXPECT_EQ(loaded(b), "123\n456\n@0,0");
    EXPECT_EQ(loaded(ZelBitmap::LoadWinBmp30(f)), "1234\n5678\n9123\n@0,0");
    EXPECT_EQ(load(patched(bmp(pic(2, 3, "563412")), 22, static_cast<uint32_t>(-3), 4), 2), "12\n34\n56\n@0,0");
}

TEST(BitmapLoad, BmpHeadersRefusedWithTheirReasons)
{
    const std::string good = bmp(pic(2, 1, "12"));
    const struct {
        size_t at, bytes;
        uint32_t value;
        const char* printed;
    } cases[] = {
        {0, 2, 0x4142, "ERROR: not a Windows Bitmap file\n"},
        {14, 4, 12, "Error: unsupported info header\n"},
        {14, 4, 108, "Error: unknown info header\n"},
        {26, 2, 2, "ERROR: unsupported plane depth\n"},
        {28, 2, 24, "ERROR: unsupported color depth\n"},
        {30, 4, 1, "ERROR: unsupported compression method\n"},
        {18, 4, static_cast<uint32_t>(-4), ""},  // negative width
        {22, 4, static_cast<uint32_t>(INT32_MIN), ""},
    };
    const size_t live = liveBlockCount();
    for (const auto& c : cases)
        EXPECT_EQ(load(patched(good, c.at, c.value, c.bytes), 2), std::string("null") + c.printed);
    EXPECT_EQ(load(patched(patched(good, 18, 65536, 4), 22, 65536, 4), 2), "null");
    EXPECT_EQ(liveBlockCount(), live);
}

// By name, format 0 means BMP when the second non-empty dot-separated token
// of the last path component is BMP in any case. Every file here holds the
// engine format, which the BMP reader refuses with a message. Outside the
// file system dir and name are joined as they stand, then the name alone is
// tried; a file the file system holds is preferred.
TEST(BitmapLoad, ByName)
{
    zeltest::TempDir dir;
    const auto write = [&](const std::string& name, const std::string& content) {
        std::filesystem::create_directories(std::filesystem::path(dir.path + "/" + name).parent_path());
        zeltest::writeFile(dir.path + "/" + name, content);
    };
    const auto byName = [](const char* name, const char* in, unsigned char format) {
        zeltest::CoutCapture out;
        const std::string s = loaded(ZelBitmap::Load(name, in, format));
        return s + out.text();
    };
    ZelSystem::SetRegistryString("ufsroot", dir.path.c_str());
    const size_t live = liveBlockCount();
    const std::pair<const char*, bool> names[] = {
        {"PIC.Bmp", true},      {"sub/pic.BMP", true}, {"pic.bmp.old", true}, {"a..bmp", true},
        {"pic.dat", false},     {"pic", false},        {".bmp", false},       {"pic.dat.bmp", false},
        {"c:/x.y/pic", false},  {"x.bmpx", false},     {"b.bm", false}};
    for (auto [name, asBmp] : names) {
        write(name, engineBitmapFile(pic(1, 1, "5")));
        EXPECT_EQ(byName(name, "", 0), asBmp ? "nullERROR: not a Windows Bitmap file\n" : "5\n@0,0") << name;
    }
    write("data/pic.bmp", bmp(pic(1, 1, "9")));
    write("datapic.bmp", bmp(pic(1, 1, "1")));  // what the disk would give
    EXPECT_EQ(byName("pic.bmp", "data", 2), "9\n@0,0");

    ZelSystem::SetRegistryString("ufsroot", (dir.path + "/data").c_str());
    write("pics/a.bmp", bmp(pic(2, 1, "12")));
    EXPECT_EQ(byName("a.bmp", (dir.path + "/pics/").c_str(), 0), "12\n@0,0");
    EXPECT_EQ(byName((dir.path + "/pic").c_str(), "/no/such/dir", 1), "5\n@0,0");
    EXPECT_EQ(byName("missing.bmp", dir.path.c_str(), 0), "null");
    EXPECT_EQ(byName(nullptr, dir.path.c_str(), 0), "null");
    EXPECT_EQ(liveBlockCount(), live);
    ZelSystem::SetRegistryString("ufsroot", nullptr);
}

}  // namespace
