// One walk over a table of operations: each reads its file cut after every
// byte, then runs whole with the allocations failing from each one on. Each
// attempt ends in its defined result and leaves no block, stream or error
// record behind.

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <random>

#include <gtest/gtest.h>

#include "bitmap/blit.h"
#include "cout_capture.h"
#include "data_files.h"
#include "draw/smart_line.h"
#include "driver_fixture.h"
#include "font/font.h"
#include "shade/shade.h"
#include "test_support.h"
#include "video/palette.h"

namespace {

using zeltest::liveBlockCount;
using zeltest::Picture;

const std::string NotABmp = "ERROR: not a Windows Bitmap file\n";

int32_t le32(const std::string& s, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
    return static_cast<int32_t>(v);
}

std::string bytesOf(const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); }

std::string sixBit(std::string rgb)
{
    for (char& c : rgb)
        c = static_cast<char>(static_cast<unsigned char>(c) >> 2);
    return rgb;
}

// A bitmap as text: size, origin ("?" when the bytes did not reach it),
// pixels and its palette when it has one.
std::string shown(const ZelBitmap* b, bool originKnown)
{
    if (!b)
        return "null";
    const HSimple<unsigned char> palette(b->attachKind() == AttachPalette ? b->attachment : HAny<void>());
    return std::to_string(b->width) + "x" + std::to_string(b->height) + " at " +
           (originKnown ? std::to_string(b->originX) + "," + std::to_string(b->originY) : "?") + ": " +
           bytesOf(b->pixels(), static_cast<size_t>(b->width) * b->height) + "|" +
           (palette.resolves() ? bytesOf(palette.get(), 768) : "");
}

// What the engine-format reader makes of these bytes: nothing without a
// whole size or with one no bitmap can have; else that size, with the
// origin as far as the bytes reach and every pixel, 0 where they do not.
std::string engineRead(const std::string& d)
{
    const int32_t w = d.size() < 8 ? -1 : le32(d, 0), h = d.size() < 8 ? -1 : le32(d, 4);
    if (w < 0 || h < 0 || int64_t{w} * h > INT32_MAX - 20)
        return "null";
    std::string pixels = d.substr(std::min<size_t>(20, d.size()), static_cast<size_t>(w) * h);
    pixels.resize(static_cast<size_t>(w) * h, '\0');
    return std::to_string(w) + "x" + std::to_string(h) + " at " +
           (d.size() >= 16 ? std::to_string(le32(d, 8)) + "," + std::to_string(le32(d, 12)) : "?") + ": " + pixels + "|";
}

// An operation the walk repeats. run() gets the file (null when it reads
// none) and the bytes it holds, cleans up after itself and says what it
// made; cut(k) is what it makes of the first k bytes, starved(n) what it
// makes when the allocations from the n-th on fail.
struct Operation {
    std::string name, path, bytes;
    size_t start = 0;  // where the file begins inside its bytes
    std::function<std::string(HClass<ZelFile>, const std::string&)> run;
    std::function<std::string(size_t)> cut;
    std::function<std::string(unsigned long)> starved;
};

class FaultWalk : public zeltest::DriverTest {
protected:
    void TearDown() override
    {
        ZelMem::SetFailAfter(0);
        ZelFont::unloadAll();
        DriverTest::TearDown();
    }
    // Runs op on these bytes with the allocations from the n-th on failing
    // (0: none); counted: how many it made.
    std::string runOn(const Operation& op, const std::string& bytes, unsigned long n = 0, unsigned long* counted = nullptr)
    {
        HClass<ZelFile> f;
        if (!op.path.empty()) {
            // Writing is slow: a file that holds more is cut instead.
            std::string& disk = onDisk_[op.path];
            if (bytes.size() < disk.size() && disk.compare(0, bytes.size(), bytes) == 0)
                EXPECT_EQ(truncate(op.path.c_str(), static_cast<off_t>(bytes.size())), 0);
            else if (disk != bytes)
                zeltest::writeFile(op.path, bytes);
            disk = bytes;
            f = ZelDiskFile::create();
            EXPECT_TRUE(f->open(op.path.c_str(), 1));
            f->position = f->startPosition = static_cast<long>(op.start);
        }
        ZelMem::SetFailAfter(n);
        const std::string made = op.run(f, bytes);
        if (counted)
            *counted = ZelMem::AllocationCount();
        ZelMem::SetFailAfter(0);
        if (f.resolves()) {
            f->close();  // destroying a file leaves its stream open
            f.destroy();
        }
        return made;
    }
    void walk(const std::vector<Operation>& operations);
    std::mt19937 rng{20240611};
    std::map<std::string, std::string> onDisk_;
};

void FaultWalk::walk(const std::vector<Operation>& operations)
{
    // The engine's error record as it was: a stack block the loads grow is
    // given back at the end.
    zeltest::Restore saved{ZelError::NError, ZelError::NMaxError, ZelError::ErrorCopy, ZelSystem::EngineErrors};
    ZelErrorRecord* const error = ZelError::Error;
    const int descriptors = zeltest::openDescriptors();
    size_t longest = 0;
    for (const Operation& op : operations) {
        runOn(op, op.bytes.substr(0, op.bytes.size() * 2 / 3));  // a cut that reports grows the error record
        runOn(op, op.bytes);
        longest = std::max(longest, op.bytes.size());
    }
    const size_t blocks = liveBlockCount();
    // Every length near either end, every 97th in between, shorter and shorter.
    for (size_t k = longest + 1; k-- > 0;) {
        for (const Operation& op : operations) {
            if (op.cut && k <= op.bytes.size() && (k <= 800 || k + 300 >= op.bytes.size() || k % 97 == 0)) {
                EXPECT_EQ(runOn(op, op.bytes.substr(0, k)), op.cut(k)) << op.name << " cut to " << k << " bytes";
                ASSERT_EQ(liveBlockCount(), blocks) << op.name << " cut to " << k << " bytes";
            }
        }
    }
    for (const Operation& op : operations) {
        unsigned long needed = 0;
        const std::string whole = runOn(op, op.bytes, 0, &needed);
        for (unsigned long n = 1; op.starved && n <= needed + 1; ++n) {
            EXPECT_EQ(runOn(op, op.bytes, n), n > needed ? whole : op.starved(n)) << op.name << ", allocation " << n << " fails";
            ASSERT_EQ(liveBlockCount(), blocks) << op.name << ", allocation " << n << " fails";
        }
    }
    EXPECT_EQ(zeltest::openDescriptors(), descriptors);
    if (ZelError::Error != error)
        ZelMEMTmp::Free(ZelError::Error);
    ZelError::Error = error;
}

// Every bitmap loader on an engine bitmap, a BMP and BMPs of rows 0 pixels
// wide (each row an empty item: a short read, unless there is none), inside
// files that start at 0 and at 7. A BMP reader loads a BMP from its last
// pixel on: the padding after it is skipped by a seek.
TEST_F(FaultWalk, BitmapLoaders)
{
    Picture picture = zeltest::randomPicture(rng, 13, 7);
    picture.originX = 3;
    picture.originY = -2;
    std::string colours(768, '\0');
    std::generate(colours.begin(), colours.end(), [this] { return static_cast<char>(rng()); });
    const Picture emptyRows{0, 2, 0, 0, ""}, noRows{0, 0, 0, 0, ""};
    struct File {
        std::string bytes, bmp;  // the file, and what a BMP reader makes of it whole
        size_t bmpNeeded;
    };
    const File files[] = {
        {zeltest::engineBitmapFile(picture), "", SIZE_MAX},
        {zeltest::bmpFile(picture, colours), "13x7 at 0,0: " + picture.pixels + "|" + sixBit(colours),
         zeltest::bmpPixelsEnd(picture)},
        {zeltest::bmpFile(emptyRows, colours), "", SIZE_MAX},
        {zeltest::bmpFile(noRows, colours), "0x0 at 0,0: |" + sixBit(colours), zeltest::bmpPixelsEnd(noRows)},
    };
    enum Reads { Engine, Bmp, BmpThenEngine };
    std::vector<std::pair<Reads, std::function<HClass<ZelBitmap>(ZelFile&)>>> loaders = {
        {Engine, [](ZelFile& f) { return ZelBitmap::LoadZelBitmap(f); }},
        {Bmp, [](ZelFile& f) { return ZelBitmap::LoadWinBmp30(f); }}};
    for (unsigned char format : {0, 1, 2, 3, 17, 255})
        loaders.push_back({format == 1 ? Engine : format == 2 ? Bmp : BmpThenEngine,
                           [format](ZelFile& f) { return ZelBitmap::Load(f, format); }});
    std::vector<Operation> operations;
    for (const File& file : files) {
        for (size_t start : {0, 7}) {
            const std::string path = root + "/input" + std::to_string(&file - files) + "-" + std::to_string(start);
            for (size_t l = 0; l < loaders.size() && (start == 0 || &file - files < 2); ++l) {
                const auto& [reads, load] = loaders[l];
                // What the loader makes of the first k bytes; the bitmap
                // alone fails without memory.
                auto made = [&file, reads = reads, start](size_t k, bool memory) {
                    const std::string d = file.bytes.substr(0, k < start ? 0 : k - start);
                    const bool notBmp = reads != Engine && d.size() >= 14 && le32(d, 0) % 65536 != 19778;
                    if (reads != Engine && d.size() >= file.bmpNeeded)
                        return memory ? file.bmp : "null";
                    return (reads == Bmp || !memory ? "null" : engineRead(d)) + (notBmp ? NotABmp : "");
                };
                operations.push_back(
                    {"loader " + std::to_string(l) + " at " + std::to_string(start) + " on file " +
                         std::to_string(&file - files),
                     path, std::string(start, 'J') + file.bytes, start,
                     [start, load = load](HClass<ZelFile> f, const std::string& bytes) {
                         zeltest::TestBitmap loaded;
                         zeltest::CoutCapture out;
                         loaded.h = load(*f.get());
                         return shown(loaded.h.get(), bytes.size() >= start + 16) + out.text();
                     },
                     [made](size_t k) { return made(k, true); },
                     [made, k = start + file.bytes.size()](unsigned long) { return made(k, false); }});
            }
        }
    }
    walk(operations);
}

// A font: too short for its head, nothing; else every glyph whose size
// arrived and got its bitmap is there as far as its bytes reach, and every
// other one is reported. The table and the record come first.
TEST_F(FaultWalk, FontLoad)
{
    std::vector<zeltest::FontGlyph> glyphs;
    std::vector<size_t> at;  // where each glyph's entry starts
    for (auto [code, w, h] : {std::tuple{'A', 5, 7}, {'B', 4, 7}, {'i', 1, 7}, {'.', 1, 1}}) {
        at.push_back(glyphs.empty() ? 260 : at.back() + 20 + glyphs.back().second.pixels.size());
        glyphs.emplace_back(static_cast<unsigned char>(code), zeltest::randomPicture(rng, w, h));
        glyphs.back().second.originX = w;
    }
    const std::string whole = zeltest::fontFile(glyphs);
    auto font = [&](size_t k, size_t made) {
        std::string s = k < 260 ? "slot -1" : "slot 0", reports;
        for (size_t g = 0; k >= 260 && g < glyphs.size(); ++g) {
            const bool there = k >= at[g] + 8 && g < made;
            s.append(";").append(there ? engineRead(whole.substr(at[g], k - at[g])) : "null");
            if (!there)
                reports += std::string("ERROR: ") + ZelSystem::EngineErrorCodeStrings[2] + "\nunable to load font entry " +
                           std::to_string(g) + ".\n\nFile: font, Line: 249\n";
        }
        const size_t missing = std::count(reports.begin(), reports.end(), '\n') / 4;
        return s + (k < 260 ? "" : " of 4 " + whole.substr(4, 256)) + reports + ", debugger " + std::to_string(missing);
    };
    auto run = [&](HClass<ZelFile> f, const std::string& bytes) {
        ZelError::NError = 0;
        const unsigned debugger = ZelMem::DebuggerCalls();
        zeltest::CoutCapture out;
        const int slot = ZelFont::load(f);
        std::string s = "slot " + std::to_string(slot);
        for (size_t g = 0; slot == 0 && g < 256; ++g) {
            const ZelBitmap* glyph = static_cast<const ZelBitmap*>(ZelFont::fonts[0].handle->glyphs[g].handle.get());
            if (g < glyphs.size())
                s.append(";").append(shown(glyph, bytes.size() >= at[g] + 16));
            else if (glyph)
                s.append("; glyph ").append(std::to_string(g));
        }
        if (slot == 0)
            s += " of " + std::to_string(ZelFont::fonts[0].handle->count) + " " + bytesOf(ZelFont::fonts[0].handle->charMap, 256);
        s += out.text() + ", debugger " + std::to_string(ZelMem::DebuggerCalls() - debugger);
        ZelFont::unloadAll();
        return ZelError::NError ? "errors recorded" : s;
    };
    walk({{"font", root + "/input", whole, 0, run, [&](size_t k) { return font(k, glyphs.size()); },
           [&](unsigned long n) { return n <= 2 ? font(0, 0) : font(whole.size(), n - 3); }}});
}

// Palettes and shade tables cut short, through the file system and from the
// disk: a short file fails, the bytes read arrive unconverted (a part of a
// colour may or may not), the rest of the slot or table stays.
TEST_F(FaultWalk, PalettesAndShadeTables)
{
    constexpr size_t Table = ZelShadeTableBytes;
    std::string palette(768, '\0'), dark(Table, '\0'), light(Table, '\0');
    for (std::string* bytes : {&palette, &dark, &light})
        std::generate(bytes->begin(), bytes->end(), [this] { return static_cast<char>(rng()); });
    const std::string untouched(Table, '\x5a');
    std::string tables[2] = {untouched, untouched};
    zeltest::Restore saved(palettes, gammaOffset, paletteName, ZelVideo::shadeDark, ZelVideo::shadeLight);
    gammaOffset = 0.0f;
    ZelVideo::shadeDark = reinterpret_cast<unsigned char*>(tables[0].data());
    ZelVideo::shadeLight = reinterpret_cast<unsigned char*>(tables[1].data());
    std::vector<Operation> operations;
    // Through the file system the light table is cut, from the disk the dark one.
    for (const bool system : {true, false}) {
        const std::string dir = root + (system ? "/CDDATA/SYSTEM/" : "/disk/");
        const std::string name = system ? "cut.pal" : dir + "cut.pal";
        std::filesystem::create_directories(dir);
        zeltest::writeFile(dir + "cut.DRK", dark);
        zeltest::writeFile(dir + "cut.LHT", light);
        operations.push_back(
            {"palette " + name, dir + "cut.pal", palette, 0,
             [name](HClass<ZelFile>, const std::string& bytes) {
                 std::memset(palettes, 0xa5, sizeof palettes);
                 const int loaded = ZelVideo::loadPalette(name.c_str(), 3);
                 return std::to_string(loaded) + bytesOf(palettes, sizeof palettes).erase(3 * 768 + bytes.size() / 3 * 3, bytes.size() % 3);
             },
             [&palette](size_t k) {
                 std::string all(sizeof palettes - k % 3, '\xa5');
                 all.replace(3 * 768, k / 3 * 3, k == 768 ? sixBit(palette) : palette.substr(0, k / 3 * 3));
                 return (k == 768 ? "-1" : "0") + all;
             },
             nullptr});
        // The light table is only read after a whole dark one.
        operations.push_back(
            {"shade tables " + name, dir + (system ? "cut.LHT" : "cut.DRK"), system ? light : dark, 0,
             [&tables, &untouched, name](HClass<ZelFile>, const std::string&) {
                 tables[0] = tables[1] = untouched;
                 const int loaded = ZelVideo::loadPaletteShades(name.c_str());
                 return std::to_string(loaded) + tables[0] + tables[1];
             },
             [&, system](size_t k) {
                 const std::string cut = (system ? light : dark).substr(0, k) + untouched.substr(k);
                 return (k == Table ? "-1" : "0") + (system ? dark + cut : cut + (k == Table ? light : untouched));
             },
             nullptr});
    }
    walk(operations);
}

// Calls that allocate as they draw, and the start-up: without memory a call
// draws and captures nothing, and a start-up starts or fails cleanly.
TEST_F(FaultWalk, DrawingAndStartUp)
{
    writeSystemFiles();
    ASSERT_EQ(ZelVideo::init("testdrv", "test.pal", "test.fnt"), -1);
    zeltest::TestBitmap strip(4, 8, "1111\n1111\n2222\n2222\n3333\n3333\n4444\n4444\n");
    auto screen = [] {
        const bool same = std::count(videoMemory, videoMemory + scrWidth * scrHeight, 7) == scrWidth * scrHeight;
        clrScreen(7);
        return same ? " untouched" : " drawn";
    };
    auto op = [](const char* name, std::function<std::string()> run, const std::string& starved) {
        return Operation{name, "", "", 0, [run](HClass<ZelFile>, const std::string&) { return run(); }, nullptr,
                         [starved](unsigned long) { return starved; }};
    };
    clrScreen(7);
    walk({op("getImage",
             [&] {
                 HClass<Bitmap> shot = getImage(0, 0, 8, 8, HClass<Bitmap>());
                 const std::string made = shot.resolves() ? "a capture" : "none";
                 shot.release();
                 return made + screen();
             },
             "none untouched"),
          op("ZelSmartLine::draw",
             [&] {
                 ZelSmartLine line{HSimple<unsigned char>(), {0, 0}, {0, 0}, 0};
                 line.draw(0, 0, 10, 5, 3);
                 const int drawn = line.drawn;
                 line.free();
                 return std::to_string(drawn) + screen();
             },
             "0 untouched"),
          op("PutAggregateScale", [&] { return ZelBitmap::PutAggregateScale(2, 2, 8, 2, strip.h, 32768), screen(); },
             " untouched")});
    // A failed region push leaves the bitmap with no region.
    ZelMem::SetFailAfter(1);
    ZelBitmap::pushClipRgn(ZelBitmap::Screen, ZelClipRgn{0, 0, 8, 8, 0, 0, {}});
    ZelMem::SetFailAfter(0);
    EXPECT_EQ(ZelBitmap::Screen->attachKind(), unsigned(AttachClipRgn));
    EXPECT_TRUE(ZelBitmap::Screen->attachment.isNull());
    ZelVideo::deinit();
    walk({op("start-up",
             [] {
                 zeltest::CoutCapture quiet;
                 const int started = ZelVideo::init("testdrv", "test.pal", "test.fnt");
                 ZelVideo::deinit();
                 deinitGraphics();
                 ZelFont::unloadAll();
                 for (unsigned char** table : {&ZelVideo::shadeDark, &ZelVideo::shadeLight}) {
                     ZelMEMTmp::Free(*table);
                     *table = nullptr;
                 }
                 ZelMEMTmp::Free(ZelVideo::lineOff);
                 ZelVideo::lineOff = nullptr;
                 return started == -1 || started == 0 ? "started or failed" : "answered " + std::to_string(started);
             },
             "started or failed")});
}

}  // namespace
