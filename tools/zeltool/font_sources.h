// Engine fonts from the fonts of other systems: BDF, PCF, TrueType and
// OpenType through FreeType, Linux console PSF (versions 1 and 2) and a
// picture of glyphs in a grid of equal cells.
//
// Every glyph becomes a bitmap as wide as its advance and as high as the
// font's cell, pixel value 1 for ink and 0 elsewhere, so that text output
// lines glyphs up on a common baseline. Glyphs are numbered in code order.
// Only codes 1 to 255 get a glyph: text output reads C strings, in which
// code 0 can never appear. Fonts that say which Unicode character each
// glyph shows fill the codes through a character set; others keep their
// own codes.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "tools/assets/asset_files.h"
#include "tools/zeltool/charsets.h"
#include "tools/zeltool/image.h"

namespace zeltool {

using zelassets::AssetBitmap;
using zelassets::AssetFont;
using zelassets::Bytes;

// Glyphs and cells larger than this on a side are refused.
constexpr int MaxGlyphSide = 1024;

// A glyph bitmap of width x height pixels, all 0.
AssetBitmap blankGlyph(int width, int height);

using GlyphLookup = std::function<std::optional<AssetBitmap>(char32_t key)>;

// Code c from 1 to 255 gets the glyph glyphFor gives for the character
// set's code point of c, or without a set for c itself; codes without a
// character or a glyph get none. FormatError when no code gets one.
AssetFont assembleFont(const GlyphLookup& glyphFor, const Charset* charset);

// The font of the glyphs by character code; codes outside 1 to 255 are left
// out. FormatError when none is left.
AssetFont assembleFont(const std::map<int, AssetBitmap>& glyphs);

struct BuiltFont {
    AssetFont font;
    bool throughCharset = false;  // false: the font's own codes were kept
};

// How FreeType renders an outline font: the pixel size (0: none given) and
// the coverage from 1 to 255 at which a pixel becomes ink. A bitmap font
// takes the size as the height of the strike to use.
struct RenderOptions {
    int size = 0;
    int threshold = 128;
};

// Each throws FormatError on a problem. An outline font without a size is
// refused with a UsageError.
BuiltFont fontFromPsf(const Bytes& data, const Charset& charset);
bool isPsf(const Bytes& data);
BuiltFont fontFromFreetype(const Bytes& data, const Charset& charset, const RenderOptions& options);

// Cells of cellWidth x cellHeight read left to right, top to bottom, the
// first for code first. Ink is a non-zero index, or in a true-colour picture
// any visible pixel whose colour differs from the top-left pixel's. Empty
// cells after the last cell with ink are not glyphs.
AssetFont fontFromGrid(const Image& image, int cellWidth, int cellHeight, int first);

}  // namespace zeltool
