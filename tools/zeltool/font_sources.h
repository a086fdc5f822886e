// Engine fonts from the fonts of other systems: X11 BDF text, Linux console
// PSF (versions 1 and 2) and a picture of glyphs in a grid of equal cells.
//
// Every glyph becomes a bitmap as wide as its advance and as high as the
// font's cell, pixel value 1 for ink and 0 elsewhere, so that text output
// lines glyphs up on a common baseline. Glyphs are numbered in code order.
// Only codes 1 to 255 get a glyph: text output reads C strings, in which
// code 0 can never appear.
#pragma once

#include <map>
#include <string>

#include "tools/assets/asset_files.h"
#include "tools/zeltool/image.h"

namespace zeltool {

using zelassets::AssetBitmap;
using zelassets::AssetFont;
using zelassets::Bytes;

// Glyphs and cells larger than this on a side are refused.
constexpr int MaxGlyphSide = 1024;

// A glyph bitmap of width x height pixels, all 0.
AssetBitmap blankGlyph(int width, int height);

// The font of the glyphs by character code; codes outside 1 to 255 are left
// out. FormatError when none is left.
AssetFont assembleFont(const std::map<int, AssetBitmap>& glyphs);

// Each throws FormatError on a problem; BDF problems name their line.
AssetFont fontFromBdf(const std::string& text);
AssetFont fontFromPsf(const Bytes& data);
bool isPsf(const Bytes& data);

// Cells of cellWidth x cellHeight read left to right, top to bottom, the
// first for code first. Ink is a non-zero index, or in a true-colour picture
// any visible pixel whose colour differs from the top-left pixel's. Empty
// cells after the last cell with ink are not glyphs.
AssetFont fontFromGrid(const Image& image, int cellWidth, int cellHeight, int first);

}  // namespace zeltool
