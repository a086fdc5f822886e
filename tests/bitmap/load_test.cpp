// Loading bitmaps from engine-format and Windows BMP files, by name and on an
// open file.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"
#include "test_support.h"

namespace fs = std::filesystem;

namespace {

using zeltest::liveBlockCount;
using zeltest::picture;

void put32(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>(v >> (8 * i) & 0xff);
}

void put16(std::string& s, uint16_t v)
{
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>(v >> 8);
}

// An engine-format bitmap; the reserved word is filled with noise.
std::string zelBitmap(int32_t w, int32_t h, int32_t ox, int32_t oy, const std::string& pixels)
{
    std::string s;
    put32(s, static_cast<uint32_t>(w));
    put32(s, static_cast<uint32_t>(h));
    put32(s, static_cast<uint32_t>(ox));
    put32(s, static_cast<uint32_t>(oy));
    put32(s, 0xdeadbeef);
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
// i is (blue i, green 255 - i, red i / 2) except where patched by the caller.
std::string bmpFile(const std::vector<std::string>& rows, const BmpHeader& hdr = {},
                    bool topDown = false)
{
    const int32_t h = static_cast<int32_t>(rows.size());
    const int32_t w = rows.empty() ? 0 : static_cast<int32_t>(rows[0].size());
    std::string s;
    put16(s, hdr.type);
    put32(s, 0);  // file size, ignored
    put32(s, 0);  // reserved
    put32(s, 9999);  // pixel data offset, ignored
    put32(s, hdr.infoSize);
    put32(s, static_cast<uint32_t>(w));
    put32(s, static_cast<uint32_t>(topDown ? -h : h));
    put16(s, hdr.planes);
    put16(s, hdr.bits);
    put32(s, hdr.compression);
    for (int i = 0; i < 5; ++i)
        put32(s, 7);  // image size, resolutions, colour counts: ignored
    for (int i = 0; i < 256; ++i) {
        s += static_cast<char>(i);
        s += static_cast<char>(255 - i);
        s += static_cast<char>(i / 2);
        s += '\x55';
    }
    const int pad = (4 - w % 4) % 4;
    for (int32_t r = 0; r < h; ++r) {
        s += rows[topDown ? r : h - 1 - r];
        s += std::string(pad, '\xee');
    }
    return s;
}

std::string bytes(const char* text)
{
    std::string s(text);
    for (char& c : s)
        c = static_cast<char>(c - '0');
    return s;
}

// Frees a loaded bitmap the way its holder must: attachment first.
void freeBitmap(HClass<ZelBitmap>& b)
{
    if (ZelBitmap* p = b.get())
        p->releaseAttachment();
    b.release();
}

class BitmapLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/zelloadXXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        file.close();
        ZelSystem::SetRegistryString("ufsroot", nullptr);
        fs::remove_all(dir);
    }

    std::string path(const std::string& name) const { return dir + "/" + name; }
    void write(const std::string& name, const std::string& content) const
    {
        fs::create_directories(fs::path(path(name)).parent_path());
        std::ofstream(path(name), std::ios::binary) << content;
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

    std::string dir;
    ZelDiskFile file;
};

TEST_F(BitmapLoad, EngineFormatReadsHeaderAndPixelsAndStopsAfterThem)
{
    ZelDiskFile& f = open(zelBitmap(2, 2, 1, 1, bytes("1234")) + zelBitmap(3, 1, -2, 5, bytes("567")));
    HClass<ZelBitmap> first = ZelBitmap::LoadZelBitmap(f);
    HClass<ZelBitmap> second = ZelBitmap::LoadZelBitmap(f);
    ASSERT_TRUE(first.resolves());
    ASSERT_TRUE(second.resolves());

    EXPECT_EQ(first->width, 2);
    EXPECT_EQ(first->height, 2);
    EXPECT_EQ(first->originX, 1);
    EXPECT_EQ(first->originY, 1);
    EXPECT_EQ(first->attachKind(), 0u);
    EXPECT_TRUE(first->attachment.isNull());
    EXPECT_EQ(first->widthShift(), 1u);
    EXPECT_STREQ(ZelMem::GetPtrData(first.get()), "ZelBitmap::Create");
    EXPECT_EQ(picture(*first.get()), "12\n34\n");

    EXPECT_EQ(second->originX, -2);
    EXPECT_EQ(second->originY, 5);
    EXPECT_EQ(picture(*second.get()), "567\n");
    freeBitmap(first);
    freeBitmap(second);
}

TEST_F(BitmapLoad, EngineFormatRefusesWhatCannotBeABitmapWithoutLeaking)
{
    const size_t live = liveBlockCount();
    std::string sizeOnly;
    put32(sizeOnly, 4);
    put32(sizeOnly, 4);
    const std::string cases[] = {
        sizeOnly.substr(0, 6),                 // too short for the height
        zelBitmap(-3, 2, 0, 0, ""),            // negative width
        zelBitmap(2, -1, 0, 0, ""),            // negative height
        zelBitmap(65536, 65536, 0, 0, ""),     // 2^32 pixels: would wrap to 0
        zelBitmap(0x7fffffff, 2, 0, 0, ""),    // beyond 32 bits
    };
    for (const std::string& content : cases) {
        HClass<ZelBitmap> b = ZelBitmap::LoadZelBitmap(open(content));
        EXPECT_TRUE(b.isNull());
        EXPECT_EQ(liveBlockCount(), live);
    }

    // A file cut short after the size still yields a bitmap.
    HClass<ZelBitmap> b = ZelBitmap::LoadZelBitmap(open(sizeOnly));
    ASSERT_TRUE(b.resolves());
    EXPECT_EQ(b->width, 4);
    EXPECT_EQ(b->originX, 0);
    freeBitmap(b);
    EXPECT_EQ(liveBlockCount(), live);
}

TEST_F(BitmapLoad, BmpWithPaddedRowsIsStoredTopRowFirstWithItsPalette)
{
    std::string content = bmpFile({bytes("123"), bytes("456")});
    content.replace(54 + 4 * 5, 3, "\xff\x80\x04");  // entry 5: blue 255, green 128, red 4
    std::string out;
    HClass<ZelBitmap> b = loadCapturing(content, 2, out);
    ASSERT_TRUE(b.resolves());
    EXPECT_EQ(out, "");
    EXPECT_EQ(b->width, 3);
    EXPECT_EQ(b->height, 2);
    EXPECT_EQ(b->originX, 0);
    EXPECT_EQ(b->originY, 0);
    EXPECT_EQ(picture(*b.get()), "123\n456\n");

    ASSERT_EQ(b->attachKind(), 2u);
    HSimple<unsigned char> palette = b->attachment;
    ASSERT_TRUE(palette.resolves());
    EXPECT_EQ(ZelMem::GetPtrSize(palette.get()), 768u);
    EXPECT_STREQ(ZelMem::GetPtrData(palette.get()), "Palette");
    EXPECT_EQ(palette[15], 1);
    EXPECT_EQ(palette[16], 32);
    EXPECT_EQ(palette[17], 63);
    // The other entries i are (blue i, green 255 - i, red i / 2).
    for (int i : {0, 128, 255}) {
        EXPECT_EQ(palette[3 * i], (i / 2) >> 2) << i;
        EXPECT_EQ(palette[3 * i + 1], (255 - i) >> 2) << i;
        EXPECT_EQ(palette[3 * i + 2], i >> 2) << i;
    }
    freeBitmap(b);
}

TEST_F(BitmapLoad, BmpWithoutPaddingLeavesTheFileJustPastThePixels)
{
    ZelDiskFile& f = open(bmpFile({bytes("1234"), bytes("5678"), bytes("9123")}) + "tail");
    HClass<ZelBitmap> b = ZelBitmap::LoadWinBmp30(f);
    ASSERT_TRUE(b.resolves());
    EXPECT_EQ(picture(*b.get()), "1234\n5678\n9123\n");
    char tail[5] = {};
    EXPECT_EQ(f.read(tail, 4, 1), 1u);
    EXPECT_STREQ(tail, "tail");
    freeBitmap(b);
}

TEST_F(BitmapLoad, TopDownBmpKeepsItsRowOrder)
{
    std::string out;
    HClass<ZelBitmap> b = loadCapturing(bmpFile({bytes("12"), bytes("34"), bytes("56")}, {}, true), 2, out);
    ASSERT_TRUE(b.resolves());
    EXPECT_EQ(b->height, 3);
    EXPECT_EQ(picture(*b.get()), "12\n34\n56\n");
    freeBitmap(b);
}

TEST_F(BitmapLoad, UnsupportedBmpHeadersAreExplained)
{
    struct Case {
        BmpHeader header;
        const char* message;
    };
    const Case cases[] = {
        {{.type = 0x4142}, "ERROR: not a Windows Bitmap file\n"},
        {{.infoSize = 12}, "Error: unsupported info header\n"},
        {{.infoSize = 108}, "Error: unknown info header\n"},
        {{.infoSize = 124}, "Error: unknown info header\n"},
        {{.planes = 2, .bits = 24}, "ERROR: unsupported plane depth\n"},
        {{.bits = 24, .compression = 1}, "ERROR: unsupported color depth\n"},
        {{.compression = 1}, "ERROR: unsupported compression method\n"},
    };
    const size_t live = liveBlockCount();
    for (const Case& c : cases) {
        std::string out;
        HClass<ZelBitmap> b = loadCapturing(bmpFile({bytes("12")}, c.header), 2, out);
        EXPECT_TRUE(b.isNull()) << c.message;
        EXPECT_EQ(out, c.message);
        EXPECT_EQ(liveBlockCount(), live);
    }
}

TEST_F(BitmapLoad, TruncatedBmpFailsSilentlyAndFreesEverything)
{
    const std::string whole = bmpFile({bytes("123"), bytes("456")});
    const size_t live = liveBlockCount();
    // In the file header, the info size, the info header, the colour table,
    // the first stored row and the last row.
    for (size_t cut : {size_t{10}, size_t{16}, size_t{40}, size_t{554}, size_t{1080}, whole.size() - 4}) {
        std::string out;
        HClass<ZelBitmap> b = loadCapturing(whole.substr(0, cut), 2, out);
        EXPECT_TRUE(b.isNull()) << cut;
        EXPECT_EQ(out, "") << cut;
        EXPECT_EQ(liveBlockCount(), live) << cut;
    }
    // Only the last row's padding missing: the pixels are all there.
    std::string out;
    HClass<ZelBitmap> b = loadCapturing(whole.substr(0, whole.size() - 1), 2, out);
    EXPECT_TRUE(b.resolves());
    freeBitmap(b);
}

TEST_F(BitmapLoad, HugeOrNegativeBmpSizesAreRefused)
{
    const size_t live = liveBlockCount();
    for (auto [w, h] : {std::pair<int32_t, int32_t>{65536, 65536}, {-4, 2}, {2, INT32_MIN}}) {
        std::string content = bmpFile({bytes("12")});
        std::string size;
        put32(size, static_cast<uint32_t>(w));
        put32(size, static_cast<uint32_t>(h));
        content.replace(18, 8, size);
        std::string out;
        EXPECT_TRUE(loadCapturing(content, 2, out).isNull()) << w << "x" << h;
        EXPECT_EQ(liveBlockCount(), live);
    }
}

TEST_F(BitmapLoad, OtherFormatsTryBmpThenTheEngineFormat)
{
    const std::string engine = zelBitmap(1, 1, 0, 0, bytes("7"));
    const std::string bmp = bmpFile({bytes("3")});
    for (unsigned char format : {0, 3, 255}) {
        std::string out;
        HClass<ZelBitmap> b = loadCapturing(engine, format, out);
        ASSERT_TRUE(b.resolves());
        EXPECT_EQ(out, "ERROR: not a Windows Bitmap file\n");
        EXPECT_EQ(picture(*b.get()), "7\n");
        freeBitmap(b);

        b = loadCapturing(bmp, format, out);
        ASSERT_TRUE(b.resolves());
        EXPECT_EQ(b->attachKind(), 2u);
        freeBitmap(b);
    }
    std::string out;
    EXPECT_TRUE(loadCapturing(engine, 2, out).isNull());
    HClass<ZelBitmap> b = loadCapturing(engine, 1, out);
    EXPECT_EQ(out, "");
    EXPECT_EQ(picture(*b.get()), "7\n");
    freeBitmap(b);
}

// Every file holds an engine-format bitmap: the BMP reader refuses it with a
// message, the engine reader loads it.
TEST_F(BitmapLoad, ByNameFormatZeroFollowsTheSecondTokenOfTheFileName)
{
    ZelSystem::SetRegistryString("ufsroot", dir.c_str());
    const std::string content = zelBitmap(1, 1, 0, 0, bytes("5"));
    const char* bmpNames[] = {"PIC.Bmp", "sub/pic.BMP", "pic.bmp.old", "a..bmp"};
    const char* engineNames[] = {"pic.dat", "pic", ".bmp", "pic.dat.bmp", "c:/x.y/pic", "x.bmpx"};
    for (const char* name : bmpNames)
        write(name, content);
    for (const char* name : engineNames)
        write(name, content);

    const size_t live = liveBlockCount();
    for (const char* name : bmpNames) {
        testing::internal::CaptureStdout();
        HClass<ZelBitmap> b = ZelBitmap::Load(name, "", 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: not a Windows Bitmap file\n") << name;
        EXPECT_TRUE(b.isNull()) << name;
        EXPECT_EQ(liveBlockCount(), live) << name;
    }
    for (const char* name : engineNames) {
        testing::internal::CaptureStdout();
        HClass<ZelBitmap> b = ZelBitmap::Load(name, nullptr, 0);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << name;
        ASSERT_TRUE(b.resolves()) << name;
        EXPECT_EQ(picture(*b.get()), "5\n");
        freeBitmap(b);
        EXPECT_EQ(liveBlockCount(), live) << name;
    }
}

TEST_F(BitmapLoad, ByNameFallsBackToTheDisk)
{
    // The file system looks only in an empty root.
    const std::string empty = path("emptyroot");
    fs::create_directories(empty);
    ZelSystem::SetRegistryString("ufsroot", empty.c_str());
    write("pics/a.bmp", bmpFile({bytes("12")}));
    write("b.dat", zelBitmap(1, 1, 0, 0, bytes("4")));

    const size_t live = liveBlockCount();
    // dir and name joined as they stand.
    HClass<ZelBitmap> b = ZelBitmap::Load("a.bmp", (path("pics") + "/").c_str(), 0);
    ASSERT_TRUE(b.resolves());
    EXPECT_EQ(picture(*b.get()), "12\n");
    EXPECT_EQ(b->attachKind(), 2u);
    freeBitmap(b);

    // The joined path is missing: the name alone.
    b = ZelBitmap::Load(path("b.dat").c_str(), "/no/such/dir", 1);
    ASSERT_TRUE(b.resolves());
    EXPECT_EQ(picture(*b.get()), "4\n");
    freeBitmap(b);
    EXPECT_EQ(liveBlockCount(), live);

    testing::internal::CaptureStdout();
    EXPECT_TRUE(ZelBitmap::Load("missing.bmp", dir.c_str(), 0).isNull());
    EXPECT_TRUE(ZelBitmap::Load(nullptr, dir.c_str(), 0).isNull());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(liveBlockCount(), live);
}

TEST_F(BitmapLoad, ByNamePrefersTheFileSystem)
{
    ZelSystem::SetRegistryString("ufsroot", dir.c_str());
    write("data/pic.bmp", bmpFile({bytes("9")}));
    write("datapic.bmp", bmpFile({bytes("1")}));  // what the disk fallback would find
    const size_t live = liveBlockCount();
    HClass<ZelBitmap> b = ZelBitmap::Load("pic.bmp", "data", 2);
    ASSERT_TRUE(b.resolves());
    EXPECT_EQ(picture(*b.get()), "9\n");
    freeBitmap(b);
    EXPECT_EQ(liveBlockCount(), live);  // the file-system file was destroyed
}

}  // namespace
