// Loading bitmaps from engine-format and Windows BMP files, by name and on an
// open file.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

using zeltest::liveBlockCount;
using zeltest::picture;
using zeltest::put32;

// An engine-format bitmap; the reserved word is filled with noise.
std::string zelBitmap(int32_t w, int32_t h, int32_t ox, int32_t oy, const std::string& pixels)
{
    std::string s;
    for (int32_t v : {w, h, ox, oy, int32_t(0xdeadbeef)})
        put32(s, static_cast<uint32_t>(v));
    return s + pixels;
}

struct BmpHeader {
    uint16_t type = 19778;
    uint32_t infoSize = 40;
    uint16_t planes = 1;
    uint16_t bits = 8;
    uint32_t compression = 0;
};

// A BMP file of the given rows (top row first, one char per pixel value);
// rows are stored bottom first and padded with 0xee bytes. Colour table entry
// i is (blue i, green 255 - i, red i / 2).
std::string bmpFile(const std::vector<std::string>& rows, const BmpHeader& hdr = {}, bool topDown = false)
{
    const int32_t h = static_cast<int32_t>(rows.size());
    const int32_t w = static_cast<int32_t>(rows[0].size());
    auto put16 = [](std::string& s, uint16_t v) { s += {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)}; };
    std::string s;
    put16(s, hdr.type);
    for (uint32_t v : {0u, 0u, 9999u, hdr.infoSize, uint32_t(w), uint32_t(topDown ? -h : h)})
        put32(s, v);  // file size, reserved, pixel offset: ignored
    put16(s, hdr.planes);
    put16(s, hdr.bits);
    put32(s, hdr.compression);
    for (int i = 0; i < 5; ++i)
        put32(s, 7);  // image size, resolutions, colour counts: ignored
    for (int i = 0; i < 256; ++i)
        s += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i / 2), '\x55'};
    for (int32_t r = 0; r < h; ++r)
        s += rows[topDown ? r : h - 1 - r] + std::string((4 - w % 4) % 4, '\xee');
    return s;
}

std::string bytes(const char* text)
{
    std::string s(text);
    for (char& c : s)
        c = static_cast<char>(c - '0');
    return s;
}

// Holds a loaded bitmap, freed with its attachment at the end of the scope.
struct Loaded : zeltest::TestBitmap {
    explicit Loaded(HClass<ZelBitmap> b) { h = b; }
    // Its picture and origin point, "null" when nothing was loaded.
    std::string shape() const
    {
        const ZelBitmap* b = h.get();
        return b ? picture(*b) + "@" + std::to_string(b->originX) + "," + std::to_string(b->originY) : "null";
    }
};

class BitmapLoad : public ::testing::Test {
protected:
    void TearDown() override
    {
        file.close();
        ZelSystem::SetRegistryString("ufsroot", nullptr);
    }

    std::string path(const std::string& name) const { return dir.path + "/" + name; }
    void write(const std::string& name, const std::string& content) const
    {
        fs::create_directories(fs::path(path(name)).parent_path());
        zeltest::writeFile(path(name), content);
    }
    // Writes content to a file and opens it on the disk.
    ZelDiskFile& open(const std::string& content)
    {
        file.close();
        write("input", content);
        EXPECT_TRUE(file.open(path("input").c_str(), 1));
        return file;
    }
    // Loads with format from content; the result and everything printed.
    HClass<ZelBitmap> loadCapturing(const std::string& content, unsigned char format, std::string& out)
    {
        ZelDiskFile& f = open(content);
        testing::internal::CaptureStdout();
        HClass<ZelBitmap> b = ZelBitmap::Load(f, format);
        out = testing::internal::GetCapturedStdout();
        return b;
    }

    zeltest::TempDir dir;
    ZelDiskFile file;
};

TEST_F(BitmapLoad, EngineFormatReadsHeaderAndPixelsAndStopsAfterThem)
{
    ZelDiskFile& f = open(zelBitmap(2, 2, 1, 1, bytes("1234")) + zelBitmap(3, 1, -2, 5, bytes("567")));
    Loaded first(ZelBitmap::LoadZelBitmap(f)), second(ZelBitmap::LoadZelBitmap(f));
    EXPECT_EQ(first.shape(), "12\n34\n@1,1");
    EXPECT_EQ(second.shape(), "567\n@-2,5");
    EXPECT_EQ(first->attachKind(), 0u);
}

TEST_F(BitmapLoad, EngineFormatRefusesWhatCannotBeABitmapWithoutLeaking)
{
    const size_t live = liveBlockCount();
    const std::string sizeOnly = zelBitmap(4, 1, 0, 0, "").substr(0, 8);
    const std::string cases[] = {
        sizeOnly.substr(0, 6),              // too short for the height
        zelBitmap(-3, 2, 0, 0, ""),         // negative width
        zelBitmap(2, -1, 0, 0, ""),         // negative height
        zelBitmap(65536, 65536, 0, 0, ""),  // 2^32 pixels: would wrap to 0
    };
    for (const std::string& content : cases) {
        EXPECT_TRUE(ZelBitmap::LoadZelBitmap(open(content)).isNull());
        EXPECT_EQ(liveBlockCount(), live);
    }
    {
        // A file cut short after the size still yields a bitmap.
        Loaded b(ZelBitmap::LoadZelBitmap(open(sizeOnly)));
        ASSERT_TRUE(b.h.resolves());
        EXPECT_EQ(b->width, 4);
        EXPECT_EQ(b->originX, 0);
    }
    EXPECT_EQ(liveBlockCount(), live);
}

TEST_F(BitmapLoad, BmpWithPaddedRowsIsStoredTopRowFirstWithItsPalette)
{
    std::string content = bmpFile({bytes("123"), bytes("456")});
    content.replace(54 + 4 * 5, 3, "\xff\x80\x04");  // entry 5: blue 255, green 128, red 4
    std::string out;
    Loaded b(loadCapturing(content, 2, out));
    EXPECT_EQ(out, "");
    EXPECT_EQ(b.shape(), "123\n456\n@0,0");
    ASSERT_EQ(b->attachKind(), 2u);
    HSimple<unsigned char> palette(b->attachment);
    ASSERT_TRUE(palette.resolves());
    EXPECT_EQ(ZelMem::GetPtrSize(palette.get()), 768u);
    EXPECT_STREQ(ZelMem::GetPtrData(palette.get()), "Palette");
    // Red, green, blue on the 6-bit scale; the last entry is (blue 255, green 0, red 127).
    EXPECT_EQ(std::string(palette.get() + 15, palette.get() + 18), std::string({1, 32, 63}));
    EXPECT_EQ(std::string(palette.get() + 765, palette.get() + 768), std::string({31, 0, 63}));
}

TEST_F(BitmapLoad, UnpaddedAndTopDownBmpRows)
{
    ZelDiskFile& f = open(bmpFile({bytes("1234"), bytes("5678"), bytes("9123")}) + "tail");
    EXPECT_EQ(Loaded(ZelBitmap::LoadWinBmp30(f)).shape(), "1234\n5678\n9123\n@0,0");
    char tail[5] = {};
    EXPECT_EQ(f.read(tail, 4, 1), 1u);  // the file is left just past the pixels
    EXPECT_STREQ(tail, "tail");

    std::string out;
    Loaded topDown(loadCapturing(bmpFile({bytes("12"), bytes("34"), bytes("56")}, {}, true), 2, out));
    EXPECT_EQ(topDown.shape(), "12\n34\n56\n@0,0");
}

TEST_F(BitmapLoad, UnsupportedBmpHeadersAreExplained)
{
    const std::pair<BmpHeader, const char*> cases[] = {
        {{.type = 0x4142}, "ERROR: not a Windows Bitmap file\n"},
        {{.infoSize = 12}, "Error: unsupported info header\n"},
        {{.infoSize = 108}, "Error: unknown info header\n"},
        {{.infoSize = 124}, "Error: unknown info header\n"},
        {{.planes = 2, .bits = 24}, "ERROR: unsupported plane depth\n"},
        {{.bits = 24, .compression = 1}, "ERROR: unsupported color depth\n"},
        {{.compression = 1}, "ERROR: unsupported compression method\n"},
    };
    const size_t live = liveBlockCount();
    for (const auto& [header, message] : cases) {
        std::string out;
        EXPECT_TRUE(loadCapturing(bmpFile({bytes("12")}, header), 2, out).isNull()) << message;
        EXPECT_EQ(out, message);
        EXPECT_EQ(liveBlockCount(), live);
    }
}

TEST_F(BitmapLoad, TruncatedOrHugeBmpFailsSilentlyAndFreesEverything)
{
    const std::string whole = bmpFile({bytes("123"), bytes("456")});
    std::vector<std::string> cases;
    // Cut in the file header, the info size, the info header, the colour
    // table, the first stored row and the last row.
    for (size_t cut : {size_t{10}, size_t{16}, size_t{40}, size_t{554}, size_t{1080}, whole.size() - 4})
        cases.push_back(whole.substr(0, cut));
    for (auto [w, h] : {std::pair<int32_t, int32_t>{65536, 65536}, {-4, 2}, {2, INT32_MIN}}) {
        std::string size;
        put32(size, static_cast<uint32_t>(w));
        put32(size, static_cast<uint32_t>(h));
        cases.push_back(std::string(whole).replace(18, 8, size));
    }
    const size_t live = liveBlockCount();
    for (size_t i = 0; i < cases.size(); ++i) {
        std::string out;
        EXPECT_TRUE(loadCapturing(cases[i], 2, out).isNull()) << "case " << i;
        EXPECT_EQ(out, "") << "case " << i;
        EXPECT_EQ(liveBlockCount(), live) << "case " << i;
    }
    // Only the last row's padding missing: the pixels are all there.
    std::string out;
    EXPECT_EQ(Loaded(loadCapturing(whole.substr(0, whole.size() - 1), 2, out)).shape(), "123\n456\n@0,0");
}

TEST_F(BitmapLoad, OtherFormatsTryBmpThenTheEngineFormat)
{
    const std::string engine = zelBitmap(1, 1, 0, 0, bytes("7"));
    std::string out;
    for (unsigned char format : {0, 3, 255}) {
        EXPECT_EQ(Loaded(loadCapturing(engine, format, out)).shape(), "7\n@0,0");
        EXPECT_EQ(out, "ERROR: not a Windows Bitmap file\n");
        Loaded fromBmp(loadCapturing(bmpFile({bytes("3")}), format, out));
        ASSERT_TRUE(fromBmp.h.resolves());
        EXPECT_EQ(fromBmp->attachKind(), 2u);
    }
    EXPECT_TRUE(loadCapturing(engine, 2, out).isNull());
    EXPECT_EQ(Loaded(loadCapturing(engine, 1, out)).shape(), "7\n@0,0");
    EXPECT_EQ(out, "");
}

// Every file holds an engine-format bitmap: the BMP reader refuses it with a
// message, the engine reader loads it.
TEST_F(BitmapLoad, ByNameFormatZeroFollowsTheSecondTokenOfTheFileName)
{
    ZelSystem::SetRegistryString("ufsroot", dir.path.c_str());
    const size_t live = liveBlockCount();
    for (const char* name : {"PIC.Bmp", "sub/pic.BMP", "pic.bmp.old", "a..bmp"}) {
        write(name, zelBitmap(1, 1, 0, 0, bytes("5")));
        testing::internal::CaptureStdout();
        EXPECT_TRUE(ZelBitmap::Load(name, "", 0).isNull()) << name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: not a Windows Bitmap file\n") << name;
    }
    for (const char* name : {"pic.dat", "pic", ".bmp", "pic.dat.bmp", "c:/x.y/pic", "x.bmpx"}) {
        write(name, zelBitmap(1, 1, 0, 0, bytes("5")));
        testing::internal::CaptureStdout();
        EXPECT_EQ(Loaded(ZelBitmap::Load(name, nullptr, 0)).shape(), "5\n@0,0") << name;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << name;
    }
    EXPECT_EQ(liveBlockCount(), live);
}

TEST_F(BitmapLoad, ByNameFallsBackToTheDiskAndPrefersTheFileSystem)
{
    // The file system looks only in an empty root.
    fs::create_directories(path("emptyroot"));
    ZelSystem::SetRegistryString("ufsroot", path("emptyroot").c_str());
    write("pics/a.bmp", bmpFile({bytes("12")}));
    write("b.dat", zelBitmap(1, 1, 0, 0, bytes("4")));
    const size_t live = liveBlockCount();
    // dir and name joined as they stand; when that path is missing, the name alone.
    EXPECT_EQ(Loaded(ZelBitmap::Load("a.bmp", (path("pics") + "/").c_str(), 0)).shape(), "12\n@0,0");
    EXPECT_EQ(Loaded(ZelBitmap::Load(path("b.dat").c_str(), "/no/such/dir", 1)).shape(), "4\n@0,0");
    testing::internal::CaptureStdout();
    EXPECT_TRUE(ZelBitmap::Load("missing.bmp", dir.path.c_str(), 0).isNull());
    EXPECT_TRUE(ZelBitmap::Load(nullptr, dir.path.c_str(), 0).isNull());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

    // With the file in the file system as well, that one is loaded (and
    // destroyed afterwards).
    ZelSystem::SetRegistryString("ufsroot", dir.path.c_str());
    write("data/pic.bmp", bmpFile({bytes("9")}));
    write("datapic.bmp", bmpFile({bytes("1")}));  // what the disk fallback would find
    EXPECT_EQ(Loaded(ZelBitmap::Load("pic.bmp", "data", 2)).shape(), "9\n@0,0");
    EXPECT_EQ(liveBlockCount(), live);
}

}  // namespace
