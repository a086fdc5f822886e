// The font table: loading font files into slots, the glyph error report,
// unloading and the current font.

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "font/font.h"
#include "test_support.h"

namespace {

using zeltest::liveBlockCount;
using zeltest::picture;
using zeltest::put32;

// An engine-format glyph w pixels wide and one row high, every pixel v.
std::string glyph(int32_t w, unsigned char v)
{
    std::string s;
    for (int32_t field : {w, 1, 0, 0, 0})
        put32(s, static_cast<uint32_t>(field));
    return s + std::string(static_cast<size_t>(w > 0 ? w : 0), static_cast<char>(v));
}

// A font file head: count, then 'A' + k mapped to glyph k + 1.
std::string head(uint32_t count, int mapped)
{
    std::string s, map(256, '\0');
    put32(s, count);
    for (int k = 0; k < mapped; ++k)
        map['A' + k] = static_cast<char>(k + 1);
    return s + map;
}

// A font of n glyphs; glyph k is k + 1 pixels wide in colour k + 1.
std::string font(uint32_t n)
{
    std::string s = head(n, static_cast<int>(n < 26 ? n : 26));
    for (uint32_t k = 0; k < n; ++k)
        s += glyph(static_cast<int32_t>(k + 1), static_cast<unsigned char>(k + 1));
    return s;
}

HClass<Fonts> slotHandle(int i)
{
    return ZelFont::fonts[i].handle;
}

bool swapable(const ZelHandle& h)
{
    return h.isValid() && (ZelMemHandles::Handles.entry[h.value - 1] & ZelMemEntrySwapable) != 0;
}

class FontTable : public ::testing::Test {
protected:
    void SetUp() override
    {
        ZelSystem::SetRegistryString("ufsroot", dir.path.c_str());
        ASSERT_EQ(ZelFont::nFonts, 0);
    }
    void TearDown() override
    {
        ZelFont::unloadAll();
        ZelSystem::SetRegistryString("ufsroot", nullptr);
    }

    // Loads content as a font file, capturing what is printed.
    int load(const std::string& content, std::string* out = nullptr) const
    {
        zeltest::writeFile(dir.path + "/f.fnt", content);
        testing::internal::CaptureStdout();
        const int i = ZelFont::load("f.fnt", "");
        const std::string printed = testing::internal::GetCapturedStdout();
        if (out)
            *out = printed;
        return i;
    }

    zeltest::TempDir dir;
};

TEST_F(FontTable, LoadReadsHeadAndGlyphsIntoANewSlot)
{
    ASSERT_EQ(load(font(3)), 0);
    EXPECT_EQ(ZelFont::nFonts, 1);
    EXPECT_TRUE(ZelFont::currentFont.isNull());  // load does not choose the font

    const Fonts* f = slotHandle(0).get();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->count, 3u);
    EXPECT_EQ(std::string(&f->charMap['A'], &f->charMap['E']), std::string({1, 2, 3, 0}));
    for (int k = 0; k < 256; ++k) {
        const Bitmap* g = f->glyphs[k].handle.get();
        if (k >= 3) {
            EXPECT_EQ(g, nullptr) << k;
            continue;
        }
        ASSERT_NE(g, nullptr) << k;
        EXPECT_EQ(picture(*g), std::string(static_cast<size_t>(k + 1), static_cast<char>('1' + k)) + "\n");
        EXPECT_TRUE(swapable(f->glyphs[k].handle));
    }
    EXPECT_TRUE(swapable(slotHandle(0)));
    EXPECT_TRUE(swapable(ZelFont::fonts));
}

TEST_F(FontTable, FontWithoutGlyphsAndFilesThatAreNotFonts)
{
    ASSERT_EQ(load(head(0, 0)), 0);
    EXPECT_EQ(slotHandle(0)->count, 0u);

    const size_t live = liveBlockCount();
    EXPECT_EQ(ZelFont::load(HClass<ZelFile>()), -1);
    EXPECT_EQ(ZelFont::load("missing.fnt", ""), -1);
    EXPECT_EQ(load(head(1, 1).substr(0, 200)), -1);  // too short for the head
    EXPECT_EQ(ZelFont::nFonts, 2);                    // the slot made for it stays free
    EXPECT_FALSE(slotHandle(1).resolves());
    EXPECT_EQ(liveBlockCount(), live);  // the table grew in its own block
    EXPECT_EQ(load(font(1)), 1);
}

TEST_F(FontTable, MissingGlyphsAreReportedAndTheRestStillLoads)
{
    // Glyph 3 cannot be created (negative width): only its size is consumed,
    // so glyph 4 follows it directly. Glyph 6 is missing from the file.
    std::string content = head(7, 7) + glyph(1, 1) + glyph(2, 2) + glyph(3, 3);
    put32(content, static_cast<uint32_t>(-1));
    put32(content, 1);
    content += glyph(5, 5) + glyph(6, 6);

    ZelError::NError = 0;
    const unsigned debuggerCalls = ZelMem::DebuggerCalls();
    std::string out;
    ASSERT_EQ(load(content, &out), 0);
    EXPECT_EQ(out,
              "ERROR: Unable to read data\nunable to load font entry 3.\n\nFile: font, Line: 249\n"
              "ERROR: Unable to read data\nunable to load font entry 6.\n\nFile: font, Line: 249\n");
    EXPECT_EQ(ZelMem::DebuggerCalls(), debuggerCalls + 2);
    EXPECT_EQ(ZelSystem::EngineErrors, 2);
    EXPECT_EQ(ZelError::NError, 0);
    EXPECT_EQ(ZelError::ErrorCopy.line, 249);
    EXPECT_STREQ(ZelError::ErrorCopy.file, "font");

    const Fonts* f = slotHandle(0).get();
    EXPECT_EQ(f->count, 7u);
    EXPECT_TRUE(f->glyphs[3].handle.isNull());
    EXPECT_TRUE(f->glyphs[6].handle.isNull());
    ASSERT_TRUE(f->glyphs[4].handle.resolves());
    EXPECT_EQ(picture(*f->glyphs[4].handle.get()), "55555\n");
    EXPECT_EQ(f->glyphs[5].handle.get()->width, 6);
}

TEST_F(FontTable, ErrorTraceListsTheStackNewestFirst)
{
    const std::string report = "ERROR: Unable to read data\nunable to load font entry 0.\n\n";
    std::string out;
    ASSERT_EQ(load(head(1, 1), &out), 0);  // makes sure the stack block exists
    ASSERT_GT(ZelError::NMaxError, 0);

    // An error already on the stack is listed after the new one.
    ZelError::Error[0] = {17, nullptr};
    ZelError::NError = 1;
    load(head(1, 1), &out);
    EXPECT_EQ(out, report + "File: font, Line: 249\nFile: <NONAME>, Line: 17\n");
    EXPECT_EQ(ZelError::NError, 1);

    // A full stack grows by 512 records.
    const int capacity = ZelError::NMaxError;
    ZelError::NError = capacity;
    for (int i = 0; i < capacity; ++i)
        ZelError::Error[i] = {i, "old"};
    load(head(1, 1), &out);
    EXPECT_EQ(ZelError::NMaxError, capacity + 512);
    EXPECT_EQ(ZelError::NError, capacity);
    EXPECT_EQ(ZelError::Error[capacity - 1].line, capacity - 1);
    EXPECT_EQ(out.rfind(report + "File: font, Line: 249\nFile: old, Line: " + std::to_string(capacity - 1) + "\n", 0), 0u);
    EXPECT_TRUE(out.ends_with("File: old, Line: 1\nFile: old, Line: 0\n"));

    // While the engine goes down nothing is stacked: the latest error alone
    // is listed, and it stays as it was.
    ZelError::NError = 0;
    ZelError::ErrorCopy = {5, "engine"};
    ZelError::GoingDown = -1;
    load(head(1, 1), &out);
    ZelError::GoingDown = 0;
    EXPECT_EQ(out, report + "File: engine, Line: 5\n");
    EXPECT_EQ(ZelError::NError, 0);
    EXPECT_EQ(ZelError::ErrorCopy.line, 5);
}

TEST_F(FontTable, SlotsAreReusedAndTheLastOneTrimmed)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(load(font(2)), i);
    ZelFont::setFont(2);
    ZelFont::unload(1);
    EXPECT_EQ(ZelFont::nFonts, 3);
    EXPECT_TRUE(slotHandle(1).isNull());
    EXPECT_EQ(ZelFont::currentFont, slotHandle(0));
    EXPECT_EQ(load(font(1)), 1);

    ZelFont::unload(2);
    EXPECT_EQ(ZelFont::nFonts, 2);
    EXPECT_EQ(ZelMem::GetPtrSize(ZelFont::fonts.get()), 8u);
    EXPECT_TRUE(swapable(ZelFont::fonts));

    ZelFont::unload(0);
    EXPECT_EQ(ZelFont::nFonts, 2);
    EXPECT_TRUE(ZelFont::currentFont.isNull());
    EXPECT_EQ(ZelFont::getFont(), 0);  // slot 0 is free and holds 65535

    ZelFont::unload(1);
    EXPECT_EQ(ZelFont::nFonts, 1);
    ZelFont::unload(0);
    EXPECT_EQ(ZelFont::nFonts, 0);
    EXPECT_TRUE(ZelFont::fonts.isNull());
    EXPECT_EQ(ZelFont::getFont(), -1);
}

TEST_F(FontTable, CurrentFontFollowsSetFont)
{
    ASSERT_EQ(load(font(1)), 0);
    ASSERT_EQ(load(font(1)), 1);
    EXPECT_EQ(ZelFont::getFont(), -1);
    ZelFont::setFont(1);
    EXPECT_EQ(ZelFont::currentFont, slotHandle(1));
    for (int outside : {2, 5, -1}) {  // ignored
        ZelFont::setFont(outside);
        ZelFont::unload(outside);
    }
    EXPECT_EQ(ZelFont::nFonts, 2);
    EXPECT_EQ(ZelFont::getFont(), 1);
}

TEST_F(FontTable, UnloadingFreesEveryBlock)
{
    const size_t live = liveBlockCount();
    ASSERT_EQ(load(font(4)), 0);
    ASSERT_EQ(load(font(3)), 1);
    // The table, each font and its glyphs, and a span table made on a glyph.
    HClass<ZelBitmap>(slotHandle(0)->glyphs[2].handle).get()->createLineIndexes();
    EXPECT_EQ(liveBlockCount(), live + 1 + (1 + 4) + (1 + 3) + 1);

    ZelFont::unload(0);
    EXPECT_EQ(liveBlockCount(), live + 1 + (1 + 3));
    ZelFont::setFont(1);
    ZelFont::unloadAll();
    EXPECT_EQ(liveBlockCount(), live);
    EXPECT_EQ(ZelFont::nFonts, 0);
    EXPECT_TRUE(ZelFont::fonts.isNull());
    EXPECT_TRUE(ZelFont::currentFont.isNull());
}

TEST_F(FontTable, CountAbove256LoadsTheFirst256Glyphs)
{
    std::string content = head(300, 0);
    for (int k = 0; k < 257; ++k)
        content += glyph(1, 1);
    std::string out;
    ASSERT_EQ(load(content, &out), 0);
    EXPECT_EQ(out, "");
    EXPECT_EQ(slotHandle(0)->count, 256u);
    EXPECT_TRUE(slotHandle(0)->glyphs[255].handle.resolves());
}

}  // namespace
