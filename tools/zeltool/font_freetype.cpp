// BDF, PCF (also gzip-compressed), TrueType and OpenType fonts through
// FreeType. Bitmap fonts give their glyphs as drawn; outline fonts are
// rendered at a pixel size with grey coverage, and a pixel is ink where the
// coverage reaches the threshold. The cell is the font's ascent above the
// baseline and its descent below it; ink outside the cell is cut off.

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BDF_H

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "tools/zeltool/errors.h"
#include "tools/zeltool/font_sources.h"

namespace zeltool {

namespace {

class Library {
public:
    Library()
    {
        if (FT_Init_FreeType(&library_) != 0)
            throw FormatError{"cannot start FreeType"};
    }
    ~Library() { FT_Done_FreeType(library_); }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    FT_Library get() const { return library_; }

private:
    FT_Library library_ = nullptr;
};

class Face {
public:
    Face(const Library& library, const Bytes& data)
    {
        if (FT_New_Memory_Face(library.get(), data.data(), static_cast<FT_Long>(data.size()), 0, &face_) != 0)
            throw FormatError{"not a font this tool reads (BDF, PCF, PCF.gz, TrueType, OpenType, PSF, or a "
                              "picture of a glyph grid)"};
    }
    ~Face() { FT_Done_Face(face_); }
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;
    FT_Face operator->() const { return face_; }
    FT_Face get() const { return face_; }

private:
    FT_Face face_ = nullptr;
};

std::string lower(std::string s)
{
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Chooses the character map; true when its codes are Unicode code points.
// A bitmap font without a Unicode map whose registry is not named is taken
// to be in Unicode (Latin-1) order, as X11 fonts without one are.
bool chooseCharmap(FT_Face face)
{
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0)
        return true;
    if (face->num_charmaps == 0)
        throw FormatError{"has no character map: no glyph says which character it shows"};
    FT_Set_Charmap(face, face->charmaps[0]);
    const char* encoding = nullptr;
    const char* registry = nullptr;
    if (FT_Get_BDF_Charset_ID(face, &encoding, &registry) != 0 || !registry || !*registry)
        return true;
    const std::string r = lower(registry);
    return r == "iso10646" || (r == "iso8859" && encoding && std::strcmp(encoding, "1") == 0);
}

void chooseSize(FT_Face face, const RenderOptions& options)
{
    if (FT_IS_SCALABLE(face)) {
        if (options.size == 0)
            throw UsageError{"an outline font needs --size N, its height in pixels"};
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(options.size)) != 0)
            throw FormatError{"cannot be set to " + std::to_string(options.size) + " pixels"};
        return;
    }
    if (face->num_fixed_sizes < 1)
        throw FormatError{"has neither outlines nor bitmaps"};
    int chosen = 0;
    std::string sizes;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        sizes += (i ? ", " : "") + std::to_string(face->available_sizes[i].height);
        if (face->available_sizes[i].height == options.size)
            chosen = i;
    }
    if (options.size != 0 && face->available_sizes[chosen].height != options.size)
        throw FormatError{"is a bitmap font without a size of " + std::to_string(options.size) +
                          " pixels (it has " + sizes + ")"};
    if (FT_Select_Size(face, chosen) != 0)
        throw FormatError{"cannot select its bitmaps"};
}

struct Cell {
    int ascent, height;
};

Cell cellOf(FT_Face face)
{
    const FT_Size_Metrics& m = face->size->metrics;
    const long ascent = (m.ascender + 63) / 64;
    const long descent = (63 - m.descender) / 64;
    if (ascent + descent < 1 || ascent + descent > MaxGlyphSide || ascent < 0 || descent < 0)
        throw FormatError{"has a cell of " + std::to_string(ascent) + " pixels above and " + std::to_string(descent) +
                          " below the baseline"};
    return {static_cast<int>(ascent), static_cast<int>(ascent + descent)};
}

// A negative pitch stores the rows bottom first: the top row is then the
// last in memory.
bool inked(const FT_Bitmap& b, unsigned x, unsigned y, int threshold)
{
    const unsigned char* top = b.pitch < 0 ? b.buffer - static_cast<std::ptrdiff_t>(b.pitch) * (b.rows - 1) : b.buffer;
    const unsigned char* row = top + static_cast<std::ptrdiff_t>(y) * b.pitch;
    if (b.pixel_mode == FT_PIXEL_MODE_MONO)
        return (row[x / 8] >> (7 - x % 8) & 1) != 0;
    return row[x] >= threshold;
}

std::optional<AssetBitmap> renderGlyph(FT_Face face, char32_t key, const Cell& cell, int threshold)
{
    const FT_UInt index = FT_Get_Char_Index(face, key);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0)
        return std::nullopt;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& b = slot->bitmap;
    if (b.pixel_mode != FT_PIXEL_MODE_MONO && b.pixel_mode != FT_PIXEL_MODE_GRAY)
        return std::nullopt;
    // FreeType may answer a glyph that has a size but no pixels.
    const unsigned rows = b.buffer ? b.rows : 0;
    const long advance = (slot->advance.x + 32) / 64;
    const long width = std::clamp(advance > 0 ? advance : slot->bitmap_left + static_cast<long>(b.width), 1L,
                                  static_cast<long>(MaxGlyphSide));
    AssetBitmap glyph = blankGlyph(static_cast<int>(width), cell.height);
    for (unsigned y = 0; y < rows; ++y)
        for (unsigned x = 0; x < b.width; ++x) {
            const long gx = slot->bitmap_left + static_cast<long>(x);
            const long gy = cell.ascent - slot->bitmap_top + static_cast<long>(y);
            if (gx >= 0 && gx < width && gy >= 0 && gy < cell.height && inked(b, x, y, threshold))
                glyph.pixels[static_cast<std::size_t>(gy * width + gx)] = 1;
        }
    return glyph;
}

}  // namespace

BuiltFont fontFromFreetype(const Bytes& data, const Charset& charset, const RenderOptions& options)
{
    const Library library;
    const Face face(library, data);
    const bool unicode = chooseCharmap(face.get());
    chooseSize(face.get(), options);
    const Cell cell = cellOf(face.get());
    const auto glyphFor = [&](char32_t key) { return renderGlyph(face.get(), key, cell, options.threshold); };
    return {assembleFont(glyphFor, unicode ? &charset : nullptr), unicode};
}

}  // namespace zeltool
