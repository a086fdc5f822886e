// Every loader fed its valid file cut after each byte, and starved of memory
// at each allocation in turn: each attempt ends in its defined result and
// leaves no block, stream or error record behind.

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"
#include "cout_capture.h"
#include "data_files.h"
#include "draw/smart_line.h"
#include "bitmap/blit.h"
#include "driver_fixture.h"
#include "font/font.h"
#include "shade/shade.h"
#include "test_support.h"
#include "video/palette.h"

namespace {

using zeltest::liveBlockCount;
using zeltest::Picture;

const char* const NotABmp = "ERROR: not a Windows Bitmap file\n";

int32_t le32(const std::string& s, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
    return static_cast<int32_t>(v);
}

std::string bytesOf(const void* p, size_t n)
{
    return std::string(static_cast<const char*>(p), n);
}

// A bitmap as text: size, origin (when known) and the pixels known, with
// its palette when it has one.
std::string shown(int32_t w, int32_t h, const std::string& origin, const std::string& pixels,
                  const std::string& palette = {})
{
    return std::to_string(w) + "x" + std::to_string(h) + " at " + origin + ": " + pixels + "|" + palette;
}
std::string shown(const ZelBitmap* b, bool originKnown, size_t knownPixels)
{
    if (!b)
        return "null";
    const std::string origin = originKnown ? std::to_string(b->originX) + "," + std::to_string(b->originY) : "?";
    const HSimple<unsigned char> palette = b->attachKind() == AttachPalette ? HSimple<unsigned char>(b->attachment) : HSimple<unsigned char>();
    return shown(b->width, b->height, origin, bytesOf(b->pixels(), knownPixels),
                 palette.resolves() ? bytesOf(palette.get(), 768) : std::string());
}

// What the engine-format reader makes of these bytes: nothing without a
// whole size or with one no bitmap can have; else that size, with the
// origin as far as the bytes reach and every pixel: those the bytes do not
// reach are 0.
struct EngineRead {
    bool loads = false;
    bool originKnown = false;
    size_t knownPixels = 0;
    std::string text = "null";
};
EngineRead engineRead(const std::string& d)
{
    EngineRead e;
    if (d.size() < 8)
        return e;
    const int32_t w = le32(d, 0), h = le32(d, 4);
    const int64_t pixels = int64_t{w} * h;
    if (w < 0 || h < 0 || pixels > INT32_MAX - 20)
        return e;
    e.loads = true;
    e.originKnown = d.size() >= 16;
    e.knownPixels = static_cast<size_t>(pixels);
    const std::string origin = e.originKnown ? std::to_string(le32(d, 8)) + "," + std::to_string(le32(d, 12)) : "?";
    std::string read = d.substr(std::min<size_t>(20, d.size()), e.knownPixels);
    read.resize(e.knownPixels, '\0');
    e.text = shown(w, h, origin, read);
    return e;
}

class FaultWalk : public zeltest::DriverTest {
protected:
    void cutBitmaps(const std::string& whole, const std::string& bmp, size_t bmpNeeded);
    void TearDown() override
    {
        ZelMem::SetFailAfter(0);
        ZelFont::unloadAll();
        DriverTest::TearDown();
    }
    // A disk file of these bytes (none: the last ones again), open for
    // reading from byte `start` on.
    HClass<ZelFile> open(const std::string& bytes, size_t start = 0, bool again = false) const
    {
        const std::string path = root + "/input";
        if (!again)
            zeltest::writeFile(path, bytes);
        HClass<ZelFile> f = ZelDiskFile::create();
        EXPECT_TRUE(f->open(path.c_str(), 1));
        f->position = f->startPosition = static_cast<long>(start);
        return f;
    }
    // Destroying a file leaves its stream open: close it first.
    static void done(HClass<ZelFile>& f)
    {
        f->close();
        f.destroy();
    }
    std::mt19937 rng{20240611};
};

// The engine's error record as it was: a stack block the loads grow is
// given back at the end.
struct KeepErrorRecord {
    zeltest::Restore saved{ZelError::NError, ZelError::NMaxError, ZelError::ErrorCopy, ZelSystem::EngineErrors};
    ZelErrorRecord* error = ZelError::Error;
    ~KeepErrorRecord()
    {
        if (ZelError::Error != error)
            ZelMEMTmp::Free(ZelError::Error);
        ZelError::Error = error;
    }
};

enum class Reads { Engine, Bmp, BmpThenEngine };
struct Loader {
    std::string name;
    Reads reads;
    std::function<HClass<ZelBitmap>(ZelFile&)> load;
};
std::vector<Loader> bitmapLoaders()
{
    std::vector<Loader> loaders = {
        {"LoadZelBitmap", Reads::Engine, [](ZelFile& f) { return ZelBitmap::LoadZelBitmap(f); }},
        {"LoadWinBmp30", Reads::Bmp, [](ZelFile& f) { return ZelBitmap::LoadWinBmp30(f); }},
    };
    for (unsigned char format : {0, 1, 2, 3, 17, 255}) {
        const Reads reads = format == 1 ? Reads::Engine : format == 2 ? Reads::Bmp : Reads::BmpThenEngine;
        loaders.push_back({"Load format " + std::to_string(format), reads,
                           [format](ZelFile& f) { return ZelBitmap::Load(f, format); }});
    }
    return loaders;
}

// Every bitmap loader on `whole` cut after each byte, inside files that start
// at 0 and at 7. A BMP reader must load `bmp` from the first bmpNeeded bytes.
void FaultWalk::cutBitmaps(const std::string& whole, const std::string& bmp, size_t bmpNeeded)
{
    for (size_t start : {size_t{0}, size_t{7}}) {
        for (size_t k = 0; k <= whole.size(); ++k) {
            const std::string cut = whole.substr(0, k);
            const EngineRead asEngine = engineRead(cut);
            bool written = false;
            for (const Loader& loader : bitmapLoaders()) {
                SCOPED_TRACE(loader.name + ", start " + std::to_string(start) + ", " + std::to_string(k) + " bytes");
                const bool bmpLoads = loader.reads != Reads::Engine && k >= bmpNeeded;
                const size_t before = liveBlockCount();
                {
                    HClass<ZelFile> file = open(std::string(start, 'J') + cut, start, written);
                    written = true;
                    zeltest::TestBitmap loaded;
                    zeltest::CoutCapture out;
                    loaded.h = loader.load(*file.get());
                    done(file);
                    const bool refused = loader.reads != Reads::Engine && k >= 14 && le32(cut, 0) % 65536 != 19778;
                    EXPECT_EQ(out.text(), refused ? NotABmp : "");
                    if (bmpLoads)
                        EXPECT_EQ(shown(loaded.h.get(), true, 13 * 7), bmp);
                    else if (loader.reads == Reads::Bmp)
                        EXPECT_TRUE(loaded.h.isNull());
                    else
                        EXPECT_EQ(shown(loaded.h.get(), asEngine.originKnown, asEngine.knownPixels), asEngine.text);
                }
                ASSERT_EQ(liveBlockCount(), before);
            }
        }
    }
}

std::string sixBit(std::string rgb)
{
    for (char& c : rgb)
        c = static_cast<char>(static_cast<unsigned char>(c) >> 2);
    return rgb;
}

TEST_F(FaultWalk, BitmapsCutAtEveryByte)
{
    Picture picture = zeltest::randomPicture(rng, 13, 7);
    picture.originX = 3;
    picture.originY = -2;
    cutBitmaps(zeltest::engineBitmapFile(picture), "", SIZE_MAX);
    std::string colours(768, '\0');
    std::generate(colours.begin(), colours.end(), [this] { return static_cast<char>(rng()); });
    const std::string bmp = zeltest::bmpFile(picture, colours);
    // The padding after the last row is skipped by a seek: only the pixels must be there.
    cutBitmaps(bmp, shown(13, 7, "0,0", picture.pixels, sixBit(colours)), zeltest::bmpPixelsEnd(picture));
}

// A font cut after each byte: too short for the head, nothing; else every
// glyph whose size arrived is there as far as its bytes reach, and every
// other one is reported.
TEST_F(FaultWalk, FontCutAtEveryByte)
{
    std::vector<zeltest::FontGlyph> glyphs;
    std::vector<size_t> glyphAt;
    for (auto [code, w, h] : {std::tuple{'A', 5, 7}, {'B', 4, 7}, {'i', 1, 7}, {'.', 1, 1}}) {
        glyphs.emplace_back(static_cast<unsigned char>(code), zeltest::randomPicture(rng, w, h));
        glyphs.back().second.originX = w;
        glyphAt.push_back(glyphAt.empty() ? 260 : glyphAt.back() + 20 + glyphs[glyphs.size() - 2].second.pixels.size());
    }
    const std::string whole = zeltest::fontFile(glyphs);
    KeepErrorRecord errorRecord;
    {
        // The error record keeps the stack block it grows at its first report.
        zeltest::CoutCapture quiet;
        HClass<ZelFile> headOnly = open(whole.substr(0, 260));
        ZelFont::unload(ZelFont::load(headOnly));
        done(headOnly);
    }
    const size_t before = liveBlockCount();
    for (size_t k = 0; k <= whole.size(); ++k) {
        SCOPED_TRACE(std::to_string(k) + " bytes");
        HClass<ZelFile> file = open(whole.substr(0, k));
        ZelError::NError = 0;
        const unsigned debuggerCalls = ZelMem::DebuggerCalls();
        zeltest::CoutCapture out;
        const int slot = ZelFont::load(file);
        done(file);
        EXPECT_EQ(ZelError::NError, 0);
        ASSERT_EQ(slot, k < 260 ? -1 : 0);
        std::string want, got, reports;
        unsigned missing = 0;
        for (size_t g = 0; slot == 0 && g < 256; ++g) {
            const Fonts* font = ZelFont::fonts[0].handle.get();
            const ZelBitmap* glyph = static_cast<const ZelBitmap*>(font->glyphs[g].handle.get());
            if (g >= glyphs.size() || k < glyphAt[g] + 8) {
                got += glyph ? "glyph;" : "null;";
                want += "null;";
                if (g < glyphs.size()) {
                    ++missing;
                    reports += std::string("ERROR: ") + ZelSystem::EngineErrorCodeStrings[2] +
                               "\nunable to load font entry " + std::to_string(g) + ".\n\nFile: font, Line: 249\n";
                }
                continue;
            }
            const EngineRead e = engineRead(whole.substr(glyphAt[g], k - glyphAt[g]));
            got += shown(glyph, e.originKnown, e.knownPixels) + ";";
            want += e.text + ";";
        }
        EXPECT_EQ(got, want);
        EXPECT_EQ(out.text(), reports);
        EXPECT_EQ(ZelMem::DebuggerCalls() - debuggerCalls, missing);
        if (slot == 0) {
            EXPECT_EQ(ZelFont::fonts[0].handle->count, glyphs.size());
            EXPECT_EQ(bytesOf(ZelFont::fonts[0].handle->charMap, 256), whole.substr(4, 256));
        }
        ZelFont::unloadAll();
        ASSERT_EQ(liveBlockCount(), before);
    }
}

// Palettes and shade tables cut shorter step by step, through the file
// system and from the disk: short files fail, the bytes read arrive
// unconverted, the rest of the slot or table stays, nothing stays open.
TEST_F(FaultWalk, PalettesAndShadeTablesCutAtEveryByte)
{
    std::string palette(768, '\0'), dark(ZelShadeTableBytes, '\0'), light(ZelShadeTableBytes, '\0');
    for (std::string* bytes : {&palette, &dark, &light})
        std::generate(bytes->begin(), bytes->end(), [this] { return static_cast<char>(rng()); });
    std::string tables[2] = {std::string(ZelShadeTableBytes, '\0'), std::string(ZelShadeTableBytes, '\0')};
    zeltest::Restore saved(palettes, gammaOffset, paletteName, ZelVideo::shadeDark, ZelVideo::shadeLight);
    gammaOffset = 0.0f;
    ZelVideo::shadeDark = reinterpret_cast<unsigned char*>(tables[0].data());
    ZelVideo::shadeLight = reinterpret_cast<unsigned char*>(tables[1].data());
    const size_t before = liveBlockCount();
    const int descriptors = zeltest::openDescriptors();
    const std::string untouched(ZelShadeTableBytes, '\x5a');
    // Through the file system the light table is cut, from the disk the dark one.
    for (const bool system : {true, false}) {
        const std::string dir = root + (system ? "/CDDATA/SYSTEM/" : "/disk/");
        const std::string name = system ? "cut.pal" : dir + "cut.pal";
        std::filesystem::create_directories(dir);
        zeltest::writeFile(dir + "cut.pal", palette);
        zeltest::writeFile(dir + "cut.DRK", dark);
        zeltest::writeFile(dir + "cut.LHT", light);
        const std::string cutPath = dir + (system ? "cut.LHT" : "cut.DRK");
        // Every length near either end, every 97th in between.
        for (int k = ZelShadeTableBytes; k >= 0; k -= k > 800 && k < ZelShadeTableBytes - 300 ? 97 : 1) {
            SCOPED_TRACE(cutPath + " cut to " + std::to_string(k));
            const size_t n = static_cast<size_t>(k);
            if (k <= 768) {
                ASSERT_EQ(truncate((dir + "cut.pal").c_str(), k), 0);
                std::memset(palettes, 0xa5, sizeof palettes);
                EXPECT_EQ(ZelVideo::loadPalette(name.c_str(), 3), k == 768 ? -1 : 0);
                const std::string all = bytesOf(palettes, sizeof palettes), slot = all.substr(3 * 768, 768);
                EXPECT_EQ(all.substr(0, 3 * 768) + all.substr(4 * 768), std::string(15 * 768, '\xa5'));
                EXPECT_EQ(slot.substr(0, n / 3 * 3), k == 768 ? sixBit(palette) : palette.substr(0, n / 3 * 3));
                EXPECT_EQ(slot.substr(n), std::string(768 - n, '\xa5'));
            }
            ASSERT_EQ(truncate(cutPath.c_str(), k), 0);
            tables[0] = tables[1] = untouched;
            EXPECT_EQ(ZelVideo::loadPaletteShades(name.c_str()), k == ZelShadeTableBytes ? -1 : 0);
            const std::string& cut = system ? light : dark;
            EXPECT_EQ(tables[system ? 1 : 0], cut.substr(0, n) + untouched.substr(n));
            // The light table is only read after a whole dark one.
            EXPECT_EQ(tables[1 - (system ? 1 : 0)], system ? dark : k == ZelShadeTableBytes ? light : untouched);
            ASSERT_EQ(liveBlockCount(), before);
        }
    }
    EXPECT_EQ(zeltest::openDescriptors(), descriptors);
}

// Each allocation of a load fails in turn, then none: null (or a font with
// the glyphs that could be made, the others reported), and no block left.
TEST_F(FaultWalk, EveryAllocationOfALoadCanFail)
{
    const Picture picture = zeltest::randomPicture(rng, 13, 7);
    const std::string bmp = zeltest::bmpFile(picture, std::string(768, '\x44'));
    std::vector<zeltest::FontGlyph> glyphs;
    for (unsigned char code : {'a', 'b', 'c', 'd'})
        glyphs.emplace_back(code, zeltest::randomPicture(rng, 3, 5));
    const std::string font = zeltest::fontFile(glyphs);
    KeepErrorRecord errorRecord;
    const size_t before = liveBlockCount();
    for (const Loader& loader : bitmapLoaders()) {
        if (loader.reads == Reads::Engine)
            continue;
        // The first round counts the allocations of a load.
        for (unsigned long n = 0, needed = 0; n <= needed + 1; ++n) {
            SCOPED_TRACE(loader.name + ", allocation " + std::to_string(n));
            HClass<ZelFile> file = open(bmp);
            ZelMem::SetFailAfter(n);
            zeltest::TestBitmap loaded;
            loaded.h = loader.load(*file.get());
            needed = n ? needed : ZelMem::AllocationCount();
            ZelMem::SetFailAfter(0);
            done(file);
            EXPECT_EQ(loaded.h.resolves(), n == 0 || n > needed);
        }
        EXPECT_EQ(liveBlockCount(), before);
    }
    // The table, the record, then a bitmap a glyph.
    for (unsigned long n = 1; n <= 3 + glyphs.size(); ++n) {
        SCOPED_TRACE("font, allocation " + std::to_string(n));
        HClass<ZelFile> file = open(font);
        zeltest::CoutCapture out;
        ZelMem::SetFailAfter(n);
        const int slot = ZelFont::load(file);
        ZelMem::SetFailAfter(0);
        done(file);
        ASSERT_EQ(slot, n <= 2 ? -1 : 0);
        const size_t made = n <= 2 ? 0 : std::min<size_t>(n - 3, glyphs.size());
        for (size_t g = 0; slot == 0 && g < glyphs.size(); ++g)
            EXPECT_EQ(ZelFont::fonts[0].handle->glyphs[g].handle.resolves(), g < made) << g;
        size_t reports = 0;
        for (size_t at = 0; (at = out.text().find("unable to load font entry ", at)) != std::string::npos; ++at)
            ++reports;
        EXPECT_EQ(reports, n <= 2 ? 0 : glyphs.size() - made);
        ZelFont::unloadAll();
        ASSERT_EQ(liveBlockCount(), before);
    }
}

// Calls that allocate as they draw: a failed allocation draws and captures
// nothing, and a failed region push leaves the bitmap with no region.
TEST_F(FaultWalk, DrawingCallsWithoutMemory)
{
    writeSystemFiles();
    ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
    clrScreen(7);
    zeltest::TestBitmap strip(4, 8, "1111\n1111\n2222\n2222\n3333\n3333\n4444\n4444\n");
    for (unsigned long n = 1; n <= 4; ++n) {
        ZelMem::SetFailAfter(n);
        zeltest::CoutCapture quiet;
        const int font = ZelFont::load("test.fnt", "/CDDATA/SYSTEM");
        HClass<Bitmap> shot = getImage(0, 0, 8, 8, HClass<Bitmap>());
        ZelSmartLine line{HSimple<unsigned char>(), {0, 0}, {0, 0}, 0};
        line.draw(0, 0, 10, 5, 3);
        ZelBitmap::PutAggregateScale(2, 2, 8, 2, strip.h, 32768);
        ZelMem::SetFailAfter(0);
        EXPECT_EQ(line.drawn, 0) << n;
        EXPECT_EQ(std::count(videoMemory, videoMemory + scrWidth * scrHeight, 7), scrWidth * scrHeight) << n;
        line.free();
        if (font >= 0)
            ZelFont::unload(font);
        shot.release();
    }
    ZelMem::SetFailAfter(1);
    ZelBitmap::pushClipRgn(ZelBitmap::Screen, ZelClipRgn{0, 0, 8, 8, 0, 0, {}});
    ZelMem::SetFailAfter(0);
    EXPECT_EQ(ZelBitmap::Screen->attachKind(), unsigned(AttachClipRgn));
    EXPECT_TRUE(ZelBitmap::Screen->attachment.isNull());
    ZelVideo::deinit();
}

// Walks the failure over every allocation a successful start-up makes.
TEST_F(FaultWalk, EveryAllocationOfStartUpCanFail)
{
    writeSystemFiles();
    ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
    const unsigned long needed = ZelMem::AllocationCount();
    ZelVideo::deinit();
    ASSERT_GT(needed, 5u);
    for (unsigned long n = 1; n <= needed; ++n) {
        zeltest::CoutCapture quiet;
        ZelMem::SetFailAfter(n);
        const signed char started = ZelVideo::init("testdrv", "test.pal", "test.fnt");
        ZelMem::SetFailAfter(0);
        EXPECT_TRUE(started == 0 || started == -1) << n;
        ZelVideo::deinit();
        deinitGraphics();
        ZelFont::unloadAll();
        for (unsigned char** table : {&ZelVideo::shadeDark, &ZelVideo::shadeLight}) {
            ZelMEMTmp::Free(*table);
            *table = nullptr;
        }
        ZelMEMTmp::Free(ZelVideo::lineOff);
        ZelVideo::lineOff = nullptr;
        ASSERT_EQ(liveBlockCount(), liveBefore) << "allocation " << n;
    }
}

}  // namespace
