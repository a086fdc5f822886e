// Every loader fed a valid file cut off after each of its bytes, and every
// allocation of a BMP or font load failing in turn: each attempt ends in its
// defined result and leaves no block, stream or error record behind.

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "bitmap/bitmap.h"
#include "cout_capture.h"
#include "data_files.h"
#include "font/font.h"
#include "memory_file.h"
#include "shade/shade.h"
#include "test_support.h"
#include "video/palette.h"

namespace {

using zeltest::CoutCapture;
using zeltest::liveBlockCount;
using zeltest::MemoryFile;
using zeltest::Picture;

const char* const NotABmp = "ERROR: not a Windows Bitmap file\n";

int32_t le32(const std::string& s, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
    return static_cast<int32_t>(v);
}

// What the engine-format reader makes of these bytes: nothing without a
// whole size; else a bitmap of that size whose origin and pixels are known as
// far as the bytes reach (the rest of a short file is undefined).
struct EngineRead {
    bool loads = false;
    int32_t width = 0;
    int32_t height = 0;
    std::optional<int32_t> originX;
    std::optional<int32_t> originY;
    std::string knownPixels;
};

EngineRead engineRead(const std::string& d)
{
    EngineRead e;
    if (d.size() < 8)
        return e;
    e.width = le32(d, 0);
    e.height = le32(d, 4);
    const int64_t pixels = int64_t{e.width} * e.height;
    if (e.width < 0 || e.height < 0 || pixels > INT32_MAX - 20)
        return e;  // no such bitmap can be made
    e.loads = true;
    if (d.size() >= 12)
        e.originX = le32(d, 8);
    if (d.size() >= 16)
        e.originY = le32(d, 12);
    if (d.size() > 20)
        e.knownPixels = d.substr(20, std::min<size_t>(d.size() - 20, static_cast<size_t>(pixels)));
    return e;
}

// The BMP reader's only message for a file whose head is valid as far as it
// goes: a type that is not "BM".
std::string bmpRefusal(const std::string& d)
{
    return d.size() >= 14 && le32(d, 0) % 65536 != 19778 ? NotABmp : "";
}

enum class Reads { Engine, Bmp, BmpThenEngine };

struct Loader {
    std::string name;
    Reads reads;
    std::function<HClass<ZelBitmap>(ZelFile&)> load;
};

std::vector<Loader> allLoaders()
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

class ShortReads : public ::testing::Test {
protected:
    void TearDown() override { ZelFont::unloadAll(); }

    // Feeds whole cut after every byte, inside containers starting at 0 and
    // at 7, to every bitmap loader. bmpComplete(k) says whether a BMP reader
    // must succeed on the first k bytes; a successful BMP load must give
    // picture with the colours as its palette.
    void cutBitmapAtEveryByte(const std::string& whole, const Picture& picture, const std::string& colours,
                              const std::function<bool(size_t)>& bmpComplete)
    {
        const std::vector<Loader> loaders = allLoaders();
        for (size_t start : {size_t{0}, size_t{7}}) {
            for (size_t k = 0; k <= whole.size(); ++k) {
                const std::string cut = whole.substr(0, k);
                for (const Loader& loader : loaders) {
                    SCOPED_TRACE(loader.name + ", container start " + std::to_string(start) + ", " +
                                 std::to_string(k) + " of " + std::to_string(whole.size()) + " bytes");
                    attempt(loader, cut, start, bmpComplete(k), picture, colours);
                    if (HasFailure())
                        return;
                }
            }
        }
    }

    void attempt(const Loader& loader, const std::string& cut, size_t start, bool bmpComplete,
                 const Picture& picture, const std::string& colours)
    {
        MemoryFile file(std::string(start, 'J') + cut, start);
        const size_t before = liveBlockCount();
        {
            zeltest::TestBitmap loaded;
            std::string printed;
            {
                CoutCapture out;
                loaded.h = loader.load(file);
                printed = out.text();
            }
            EXPECT_EQ(printed, loader.reads == Reads::Engine ? "" : bmpRefusal(cut));
            if (loader.reads != Reads::Engine && bmpComplete) {
                ASSERT_TRUE(loaded.h.resolves());
                expectBmp(*loaded.h.get(), picture, colours);
                EXPECT_EQ(liveBlockCount(), before + 2);  // the bitmap and its palette
            } else if (loader.reads == Reads::Bmp) {
                EXPECT_TRUE(loaded.h.isNull());
            } else {
                expectEngineRead(loaded.h, engineRead(cut));
                EXPECT_EQ(liveBlockCount(), before + (loaded.h.isNull() ? 0 : 1));
            }
        }
        EXPECT_EQ(liveBlockCount(), before);
    }

    static void expectEngineRead(HClass<ZelBitmap> loaded, const EngineRead& e)
    {
        const ZelBitmap* b = loaded.get();
        ASSERT_EQ(b != nullptr, e.loads);
        if (!b)
            return;
        EXPECT_EQ(b->width, e.width);
        EXPECT_EQ(b->height, e.height);
        EXPECT_EQ(b->originX, e.originX.value_or(b->originX));
        EXPECT_EQ(b->originY, e.originY.value_or(b->originY));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(b->pixels()), e.knownPixels.size()), e.knownPixels);
        EXPECT_EQ(b->attachKind(), unsigned(AttachNone));
    }

    static void expectBmp(const ZelBitmap& b, const Picture& picture, const std::string& colours)
    {
        EXPECT_EQ(b.width, picture.width);
        EXPECT_EQ(b.height, picture.height);
        EXPECT_EQ(b.originX, 0);
        EXPECT_EQ(b.originY, 0);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.pixels()), picture.pixels.size()), picture.pixels);
        ASSERT_EQ(b.attachKind(), unsigned(AttachPalette));
        HSimple<unsigned char> palette = b.attachment;
        ASSERT_TRUE(palette.resolves());
        std::string expected = colours;
        for (char& c : expected)
            c = static_cast<char>(static_cast<unsigned char>(c) >> 2);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(palette.get()), 768), expected);
    }

    std::mt19937 rng{20240611};
};

std::string randomBytes(std::mt19937& rng, size_t n)
{
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng());
    return s;
}

TEST_F(ShortReads, EngineBitmapCutAtEveryByte)
{
    Picture picture = zeltest::randomPicture(rng, 13, 7);
    picture.originX = 3;
    picture.originY = -2;
    cutBitmapAtEveryByte(zeltest::engineBitmapFile(picture), picture, {}, [](size_t) { return false; });
}

TEST_F(ShortReads, BmpCutAtEveryByte)
{
    const Picture picture = zeltest::randomPicture(rng, 13, 7);
    const std::string colours = randomBytes(rng, 768);
    const std::string whole = zeltest::bmpFile(picture, colours);
    ASSERT_EQ(whole.size(), 14 + 40 + 1024 + 7 * 16u);
    // The padding after the last row is skipped by a seek that may go past
    // the end: only the pixels have to be there.
    const size_t needed = zeltest::bmpPixelsEnd(picture);
    cutBitmapAtEveryByte(whole, picture, colours, [needed](size_t k) { return k >= needed; });
}

TEST_F(ShortReads, FontCutAtEveryByte)
{
    std::vector<zeltest::FontGlyph> glyphs;
    for (auto [code, w, h] : {std::tuple{'A', 5, 7}, {'B', 4, 7}, {'i', 1, 7}, {'.', 1, 1}}) {
        glyphs.emplace_back(static_cast<unsigned char>(code), zeltest::randomPicture(rng, w, h));
        glyphs.back().second.originX = w;
    }
    const std::string whole = zeltest::fontFile(glyphs);
    std::vector<size_t> glyphStart;
    for (size_t at = 260; const auto& glyph : glyphs) {
        glyphStart.push_back(at);
        at += 20 + glyph.second.pixels.size();
    }

    // A resident font keeps the table alive, as the default font does.
    HClass<ZelFile> residentFile = MemoryFile::create(zeltest::fontFile({glyphs[3]}));
    ASSERT_EQ(ZelFont::load(residentFile), 0);
    residentFile.destroy();
    zeltest::Restore errorState(ZelError::NError, ZelError::ErrorCopy, ZelSystem::EngineErrors);
    // The engine's error record keeps the stack block it grows at its first
    // report: let a report happen before blocks are counted.
    HClass<ZelFile> headOnly = MemoryFile::create(whole.substr(0, 260));
    {
        CoutCapture quiet;
        ZelFont::unload(ZelFont::load(headOnly));
    }
    headOnly.destroy();
    const size_t before = liveBlockCount();

    for (size_t k = 0; k <= whole.size() && !HasFailure(); ++k) {
        SCOPED_TRACE(std::to_string(k) + " of " + std::to_string(whole.size()) + " bytes");
        HClass<ZelFile> file = MemoryFile::create(whole.substr(0, k));
        ZelError::NError = 0;
        const unsigned debuggerCalls = ZelMem::DebuggerCalls();
        std::string printed;
        int slot = -1;
        {
            CoutCapture out;
            slot = ZelFont::load(file);
            printed = out.text();
        }
        file.destroy();
        EXPECT_EQ(ZelError::NError, 0);
        ASSERT_LE(ZelFont::nFonts, 2) << "the table grows with every attempt";

        if (k < 260) {
            // Too short for the head: nothing is loaded and the slot stays free.
            EXPECT_EQ(slot, -1);
            EXPECT_EQ(printed, "");
            EXPECT_TRUE(ZelFont::nFonts < 2 || !ZelFont::fonts[1].handle.resolves());
            EXPECT_EQ(liveBlockCount(), before);
            continue;
        }
        ASSERT_EQ(slot, 1);
        const Fonts* font = ZelFont::fonts[1].handle.get();
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->count, glyphs.size());
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(font->charMap), 256), whole.substr(4, 256));
        std::string reports;
        size_t present = 0;
        for (size_t g = 0; g < 256; ++g) {
            const Bitmap* glyph = font->glyphs[g].handle.get();
            present += glyph != nullptr;
            if (g >= glyphs.size()) {
                EXPECT_EQ(glyph, nullptr) << "glyph slot " << g;
                continue;
            }
            const Picture& p = glyphs[g].second;
            if (k < glyphStart[g] + 8) {
                // Not even its size was there: reported, and the slot stays empty.
                EXPECT_EQ(glyph, nullptr) << "glyph " << g;
                reports += std::string("ERROR: ") + ZelSystem::EngineErrorCodeStrings[2] +
                           "\nunable to load font entry " + std::to_string(g) + ".\n\nFile: font, Line: 249\n";
                continue;
            }
            ASSERT_NE(glyph, nullptr) << "glyph " << g;
            EXPECT_EQ(glyph->width, p.width);
            EXPECT_EQ(glyph->height, p.height);
            if (k >= glyphStart[g] + 20 + p.pixels.size()) {
                EXPECT_EQ(glyph->originX, p.originX);
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(glyph->pixels()), p.pixels.size()), p.pixels);
            }
        }
        EXPECT_EQ(printed, reports);
        EXPECT_EQ(ZelMem::DebuggerCalls() - debuggerCalls, glyphs.size() - present);
        EXPECT_EQ(liveBlockCount(), before + 1 + present);
        ZelFont::unload(slot);
        EXPECT_EQ(ZelFont::nFonts, 1);
        EXPECT_EQ(liveBlockCount(), before);
    }
}

// Palettes and shade tables are read by name: through the file system from
// its data root, or straight from the disk by path.
class ShortSystemFiles : public ShortReads {
protected:
    void SetUp() override { ZelSystem::SetRegistryString("ufsroot", root.path.c_str()); }
    void TearDown() override
    {
        ShortReads::TearDown();
        ZelSystem::SetRegistryString("ufsroot", nullptr);
    }

    void cutShadesAtEveryByte(const std::string& directory, const std::string& palette, bool cutDark);

    zeltest::TempDir root;
    zeltest::TempDir disk;
};

TEST_F(ShortSystemFiles, PaletteCutAtEveryByte)
{
    const std::string whole = randomBytes(rng, 768);
    ASSERT_TRUE(std::filesystem::create_directories(root.path + "/CDDATA/SYSTEM"));
    zeltest::Restore saved(palettes, gammaOffset, paletteName);
    gammaOffset = 0.0f;
    const size_t before = liveBlockCount();
    const int descriptors = zeltest::openDescriptors();
    const std::pair<std::string, std::string> places[] = {
        {root.path + "/CDDATA/SYSTEM/cut.pal", "cut.pal"},  // through the file system
        {disk.path + "/cut.pal", disk.path + "/cut.pal"},   // from the disk
    };
    // Each file is written once and cut shorter step by step. Streams left
    // open would pile up over a pass, so the descriptors are counted after it.
    for (const auto& [path, name] : places) {
        zeltest::writeFile(path, whole);
        for (int k = 768; k >= 0 && !HasFailure(); --k) {
            SCOPED_TRACE(name + " cut to " + std::to_string(k) + " bytes");
            ASSERT_EQ(truncate(path.c_str(), k), 0);
            std::memset(palettes, 0xa5, sizeof palettes);
            const signed char loaded = ZelVideo::loadPalette(name.c_str(), 3);
            for (int slot = 0; slot < ZelPaletteSlots; ++slot) {
                if (slot == 3)
                    continue;
                EXPECT_EQ(std::string(reinterpret_cast<const char*>(palettes[slot]), 768), std::string(768, '\xa5'))
                    << "slot " << slot;
            }
            const std::string slot3(reinterpret_cast<const char*>(palettes[3]), 768);
            const size_t whole3 = static_cast<size_t>(k) / 3 * 3;
            if (k < 768) {
                // Whole entries arrive raw, unconverted; the rest stays.
                EXPECT_EQ(loaded, 0);
                EXPECT_EQ(slot3.substr(0, whole3), whole.substr(0, whole3));
                EXPECT_EQ(slot3.substr(static_cast<size_t>(k)), std::string(768 - static_cast<size_t>(k), '\xa5'));
            } else {
                std::string expected = whole;
                for (char& c : expected)
                    c = static_cast<char>(static_cast<unsigned char>(c) >> 2);
                EXPECT_EQ(loaded, -1);
                EXPECT_EQ(slot3, expected);
            }
            EXPECT_EQ(liveBlockCount(), before);
        }
        EXPECT_EQ(zeltest::openDescriptors(), descriptors);
    }
}

// The dark file cut at every length with the light one whole, or the other
// way round; both tables are loaded each time. The files lie in directory
// and are asked for by the palette name.
void ShortSystemFiles::cutShadesAtEveryByte(const std::string& directory, const std::string& palette, bool cutDark)
{
    const std::string dark = randomBytes(rng, ZelShadeTableBytes);
    const std::string light = randomBytes(rng, ZelShadeTableBytes);
    std::string darkTable(ZelShadeTableBytes, '\0'), lightTable(ZelShadeTableBytes, '\0');
    zeltest::Restore saved(ZelVideo::shadeDark, ZelVideo::shadeLight);
    ZelVideo::shadeDark = reinterpret_cast<unsigned char*>(darkTable.data());
    ZelVideo::shadeLight = reinterpret_cast<unsigned char*>(lightTable.data());
    const std::string darkPath = directory + "/cut.DRK", lightPath = directory + "/cut.LHT";
    const std::string& cutPath = cutDark ? darkPath : lightPath;
    std::string& cutTable = cutDark ? darkTable : lightTable;
    const std::string& cutSource = cutDark ? dark : light;
    const std::string untouched(ZelShadeTableBytes, '\x5a');
    const size_t before = liveBlockCount();
    const int descriptors = zeltest::openDescriptors();

    // Written once and cut shorter step by step, as the palette above.
    zeltest::writeFile(darkPath, dark);
    zeltest::writeFile(lightPath, light);
    for (int k = ZelShadeTableBytes; k >= 0 && !HasFailure(); --k) {
        SCOPED_TRACE(cutPath + " cut to " + std::to_string(k) + " bytes");
        ASSERT_EQ(truncate(cutPath.c_str(), k), 0);
        darkTable.replace(0, std::string::npos, untouched);
        lightTable.replace(0, std::string::npos, untouched);
        ASSERT_EQ(ZelVideo::shadeDark, reinterpret_cast<unsigned char*>(darkTable.data()));
        const signed char loaded = ZelVideo::loadPaletteShades(palette.c_str());
        EXPECT_EQ(loaded, k == ZelShadeTableBytes ? -1 : 0);
        EXPECT_TRUE(cutTable.compare(0, k, cutSource, 0, k) == 0) << "the bytes read";
        EXPECT_TRUE(cutTable.compare(k, std::string::npos, untouched, k) == 0) << "the bytes beyond";
        if (cutDark)  // the light file is only read after a whole dark one
            EXPECT_EQ(lightTable, k == ZelShadeTableBytes ? light : untouched);
        else
            EXPECT_EQ(darkTable, dark);
        EXPECT_EQ(liveBlockCount(), before);
    }
    EXPECT_EQ(zeltest::openDescriptors(), descriptors);
}

TEST_F(ShortSystemFiles, DarkShadeTableCutAtEveryByte)
{
    cutShadesAtEveryByte(disk.path, disk.path + "/cut.pal", true);
}

TEST_F(ShortSystemFiles, LightShadeTableCutAtEveryByte)
{
    const std::string system = root.path + "/CDDATA/SYSTEM";
    ASSERT_TRUE(std::filesystem::create_directories(system));
    cutShadesAtEveryByte(system, "cut.pal", false);
}

// Out of memory at each allocation a BMP or font load makes, and just after.
class LoadsOutOfMemory : public ShortReads {
protected:
    void TearDown() override
    {
        ZelMem::SetFailAfter(0);
        ShortReads::TearDown();
    }
};

TEST_F(LoadsOutOfMemory, EveryAllocationOfABmpLoadCanFail)
{
    const Picture picture = zeltest::randomPicture(rng, 13, 7);
    const std::string colours = randomBytes(rng, 768);
    const std::string whole = zeltest::bmpFile(picture, colours);
    for (const Loader& loader : allLoaders()) {
        if (loader.reads == Reads::Engine)
            continue;
        const size_t before = liveBlockCount();
        unsigned long needed = 0;
        for (unsigned long n = 1; n == 1 || n <= needed + 1; ++n) {
            SCOPED_TRACE(loader.name + ", allocation " + std::to_string(n) + " fails");
            MemoryFile file(whole);
            // The first round only counts the allocations of a load.
            ZelMem::SetFailAfter(needed ? n : 0);
            {
                zeltest::TestBitmap loaded;
                loaded.h = loader.load(file);
                const unsigned long made = ZelMem::AllocationCount();
                ZelMem::SetFailAfter(0);
                if (!needed) {
                    needed = made;
                    ASSERT_GE(needed, 2u);
                    n = 0;
                } else if (n <= needed) {
                    EXPECT_TRUE(loaded.h.isNull());
                } else {
                    ASSERT_TRUE(loaded.h.resolves());
                    expectBmp(*loaded.h.get(), picture, colours);
                }
            }
            EXPECT_EQ(liveBlockCount(), before);
        }
    }
}

TEST_F(LoadsOutOfMemory, EveryAllocationOfAFontLoadCanFail)
{
    std::vector<zeltest::FontGlyph> glyphs;
    for (unsigned char code : {'a', 'b', 'c', 'd'})
        glyphs.emplace_back(code, zeltest::randomPicture(rng, 3, 5));
    const std::string whole = zeltest::fontFile(glyphs);
    zeltest::Restore errorState(ZelError::NError, ZelError::ErrorCopy, ZelSystem::EngineErrors);
    const size_t before = liveBlockCount();
    // The table, the record, then one bitmap per glyph; a glyph that cannot
    // be made is reported and the load goes on.
    const unsigned long needed = 2 + glyphs.size();
    for (unsigned long n = 1; n <= needed + 1; ++n) {
        SCOPED_TRACE("allocation " + std::to_string(n) + " fails");
        HClass<ZelFile> file = MemoryFile::create(whole);
        std::string printed;
        int slot = -1;
        {
            CoutCapture out;
            ZelMem::SetFailAfter(n);
            slot = ZelFont::load(file);
            ZelMem::SetFailAfter(0);
            printed = out.text();
        }
        file.destroy();
        if (n <= 2) {
            EXPECT_EQ(slot, -1);
        } else {
            ASSERT_EQ(slot, 0);
            const Fonts* font = ZelFont::fonts[0].handle.get();
            ASSERT_NE(font, nullptr);
            const size_t made = std::min<size_t>(n - 3, glyphs.size());
            for (size_t g = 0; g < glyphs.size(); ++g)
                EXPECT_EQ(font->glyphs[g].handle.resolves(), g < made) << "glyph " << g;
            size_t reports = 0;
            for (size_t at = 0; (at = printed.find("unable to load font entry ", at)) != std::string::npos; ++at)
                ++reports;
            EXPECT_EQ(reports, glyphs.size() - made);
        }
        ZelFont::unloadAll();
        EXPECT_EQ(liveBlockCount(), before);
    }
}

}  // namespace
