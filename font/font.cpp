// The font table: fonts loaded from font files into numbered slots, and the
// font that text output uses.
//
// Every allocation may move the table, the font records and the glyphs, so
// pointers from get() are taken afresh after each call that may allocate.

#include "font/font.h"

#include <cstdio>

#include "engine/zelufs/zelufs.h"
#include "font/error_report.h"
#include "video/last_error.h"

using FontSlot = HandleSlot<HClass<Fonts>>;

HSimple<FontSlot> ZelFont::fonts;
int ZelFont::nFonts = 0;
HClass<Fonts> ZelFont::currentFont;

namespace {

constexpr int MaxGlyphs = 256;
constexpr unsigned HeadSize = sizeof(Fonts::count) + sizeof(Fonts::charMap);
static_assert(HeadSize == 260);

// Where glyph failures are reported from.
constexpr const char* SourceName = "font";
constexpr int SourceLine = 249;

// The record count says how many glyph slots are in use; the record has room
// for 256 whatever a file claims.
unsigned glyphsInUse(const Fonts& font)
{
    return font.count < MaxGlyphs ? font.count : MaxGlyphs;
}

// Frees a font's glyphs and its record, and leaves the handle null. Glyphs
// are bitmaps: an attachment made on one since loading goes with it.
void freeFont(HClass<Fonts>& font)
{
    if (Fonts* f = font.get()) {
        const unsigned n = glyphsInUse(*f);
        for (unsigned k = 0; k < n; ++k) {
            HClass<Bitmap> glyph = font->glyphs[k].handle;
            if (Bitmap* g = glyph.get())
                g->releaseAttachment();
            glyph.release();
            font->glyphs[k] = {};
        }
    }
    font.release();
}

void setSlot(int i, HClass<Fonts> font)
{
    if (FontSlot* table = ZelFont::fonts.get())
        table[i] = {font, 0};
}

HClass<Fonts> slotHandle(int i)
{
    const FontSlot* table = ZelFont::fonts.get();
    return table ? table[i].handle : HClass<Fonts>();
}

}  // namespace

// When the table cannot grow (no memory) it keeps its size and -1 is
// returned.
int ZelFont::findFree()
{
    if (const FontSlot* table = fonts.get())
        for (int i = 0; i < nFonts; ++i)
            if (!table[i].handle.resolves())
                return i;

    const unsigned bytes = static_cast<unsigned>(nFonts + 1) * sizeof(FontSlot);
    fonts.resize(bytes);
    FontSlot* table = fonts.get();
    ZelMem::SetPtrData(table, "Fonts");
    if (fonts.isValid())
        ZelMem::SetSwapable(fonts);
    if (!table || ZelMem::GetPtrSize(table) < bytes)
        return -1;
    ++nFonts;
    table[nFonts - 1] = {HClass<Fonts>(), 0};
    return nFonts - 1;
}

// Beyond the one case of a file handle that does not resolve, -1 is also the
// answer when nothing could be loaded at all: no memory for the table or the
// record, or a file too short for the 260-byte head (the slot stays free).
// A count above 256 loads the first 256 glyphs; the record has no room for
// more and character codes cannot name them.
int ZelFont::load(HClass<ZelFile> file)
{
    if (!file.resolves())
        return -1;  // the caller records why it has no file
    const int i = findFree();
    if (i < 0) {
        zelSetError("cannot load a font: no memory for the font table");
        return -1;
    }

    HClass<Fonts> font = slotHandle(i);
    font.alloc(sizeof(Fonts));
    setSlot(i, font);
    Fonts* f = font.get();
    if (!f) {
        zelSetError("cannot load a font: no memory for its record");
        return -1;
    }
    ZelMem::SetPtrData(f, "Fonts");
    if (font.isValid())
        ZelMem::SetSwapable(font);

    // Glyph slots beyond the count never hold a stale handle.
    for (auto& glyph : f->glyphs)
        glyph = {};
    if (file->read(f, HeadSize, 1) != 1) {
        font.release();
        setSlot(i, font);
        zelSetError("cannot load a font: the file is shorter than its %u-byte head", HeadSize);
        return -1;
    }
    const unsigned count = glyphsInUse(*f);
    f->count = count;

    for (unsigned k = 0; k < count; ++k) {
        HClass<Bitmap> glyph = ZelBitmap::LoadZelBitmap(*file.get());
        font->glyphs[k] = {glyph, 0};
        if (glyph.resolves()) {
            ZelMem::SetSwapable(glyph);
        } else {
            char message[64];
            std::snprintf(message, sizeof message, "unable to load font entry %u.\n\n", k);
            zelErrorReport(2, message, SourceName, SourceLine);
            zelSetError("font glyph %u of %u could not be read", k, count);
        }
    }
    return i;
}

int ZelFont::load(const char* name, const char* dir)
{
    HClass<ZelFile> file;
    if (ZelUFSLib* ufs = ZelUFSLib::Lib.get())
        file = ufs->openBin(name, dir, 0);
    if (!file.resolves())
        zelSetMissingFileError("font", name, dir, false);
    const int font = load(file);
    if (file.isValid())
        file.destroy();
    return font;
}

// An index outside the table is ignored. A free slot has no glyphs to free,
// but the table is trimmed and the current font re-pointed as for any slot.
void ZelFont::unload(int font)
{
    if (font < 0 || font >= nFonts)
        return;

    HClass<Fonts> record = slotHandle(font);
    freeFont(record);

    if (font == nFonts - 1) {
        --nFonts;
        fonts.resize(static_cast<unsigned>(nFonts) * sizeof(FontSlot));
        ZelMem::SetPtrData(fonts.get(), "Fonts");
    } else {
        setSlot(font, HClass<Fonts>());
    }
    if (fonts.isValid())
        ZelMem::SetSwapable(fonts);

    currentFont = font != 0 ? slotHandle(0) : HClass<Fonts>();
}

void ZelFont::unloadAll()
{
    for (int i = 0; i < nFonts; ++i) {
        HClass<Fonts> record = slotHandle(i);
        if (record.resolves()) {
            freeFont(record);
            setSlot(i, record);
        }
    }
    fonts.release();
    nFonts = 0;
    currentFont = HClass<Fonts>();
}

// An index outside the table leaves the current font as it is.
void ZelFont::setFont(int font)
{
    if (font >= 0 && font < nFonts)
        currentFont = slotHandle(font);
}

int ZelFont::getFont()
{
    const FontSlot* table = fonts.get();
    if (!table)
        return -1;
    for (int i = 0; i < nFonts; ++i)
        if (table[i].handle == currentFont)
            return i;
    return -1;
}
