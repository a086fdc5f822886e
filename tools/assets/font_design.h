// The standard font that ships as standard.fnt, drawn in font_design.cpp.
//
// Every glyph is FontHeight rows high. Rows 0 to 7 are the ascent and the
// baseline lies under row 7: capitals and digits fill rows 1 to 7, lower case
// rows 3 to 7 with ascenders from row 1, descenders (g j p q y) rows 8 and 9.
// A glyph's width is its drawn width plus one empty column on the right, so
// text needs no extra spacing; digits are all 6 wide for aligned numbers; the
// space is 4 wide. Glyph pixel value 1 is ink, 0 transparent.
//
// Characters: printable ASCII 32 to 126 and, in Latin-1, the pound and degree
// signs and sharp s, a with grave, acute and diaeresis, c with cedilla, e with
// grave, acute and circumflex, n with tilde, o and u with diaeresis.
#pragma once

#include "tools/assets/asset_files.h"

namespace zelassets {

constexpr int FontHeight = 10;
constexpr int FontAscent = 8;
constexpr int FontCapHeight = 7;
constexpr int FontXHeight = 5;
constexpr int FontSpaceWidth = 4;

// Glyphs in character-code order, numbered from 1 in charMap.
AssetFont standardFont();

} // namespace zelassets
