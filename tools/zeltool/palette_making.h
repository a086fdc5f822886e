// A new 256-entry palette for a picture: the entries a game relies on are
// kept from a base palette, the rest hold the picture's colours as the
// quantiser chose them.
#pragma once

#include <string>
#include <vector>

#include "tools/zeltool/colour_mapping.h"

namespace zeltool {

// The entries kept by default besides 0: the library's bevelled boxes draw
// with 8 (shadow), 24 (face) and 31 (light, also the default text colour).
std::vector<int> defaultReserved();

struct MadePalette {
    zelassets::Palette palette{};
    Usable usable{};  // the reserved entries but 0, and the picture's colours
    int colours = 0;  // entries made for the picture
};

// Entry 0 (transparent) and every reserved entry keep base's colour; the
// free entries, in rising order, take the quantised colours of the picture
// from dark to light; free entries left over are black and unused.
MadePalette makePalette(const Image& rgba, const std::vector<int>& reserved, const zelassets::Palette& base);

// "--reserve" values: "none", or entries from 1 to 255 separated by commas,
// each a number or a range A-B. UsageError otherwise.
std::vector<int> parseReserved(const std::string& option, const std::string& text);

}  // namespace zeltool
