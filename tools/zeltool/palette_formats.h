// Palettes in the engine's raw file (768 bytes of 8-bit red, green, blue) and
// in the formats of other programs: GIMP .gpl, JASC .pal and a PNG's PLTE.
#pragma once

#include <string>
#include <vector>

#include "tools/assets/asset_files.h"
#include "tools/assets/shade_builder.h"

namespace zeltool {

using zelassets::Bytes;
using zelassets::Palette;
using zelassets::Rgb;

// A raw palette file: at least 768 bytes (later bytes are ignored, as the
// library ignores them), and not recognisably a file of another kind.
Palette decodeRawPalette(const Bytes& data);

// The raw palette file at path; FileError naming it on any problem.
Palette readPaletteFile(const std::string& path);

// The palette file at path of any kind decodeAnyPalette reads; FileError
// naming it on any problem.
Palette readAnyPaletteFile(const std::string& path);

// A palette file of any supported kind, recognised by its content. Fewer than
// 256 colours are padded with black.
Palette decodeAnyPalette(const Bytes& data);

// GIMP palette text; name goes into the "Name:" line.
Bytes formatGimpPalette(const Palette& palette, const std::string& name);
// JASC-PAL text, CR LF line ends as Paint Shop Pro writes them.
Bytes formatJascPalette(const Palette& palette);

// The colours listed by a GIMP or JASC palette text; FormatError naming the
// line of a problem.
std::vector<Rgb> parseGimpPalette(const std::string& text);
std::vector<Rgb> parseJascPalette(const std::string& text);

}  // namespace zeltool
