// PNG files through libpng, in memory: reading any PNG as indices or RGBA,
// reading only its palette, writing indexed and true-colour PNGs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assets/asset_files.h"
#include "tools/zeltool/image.h"

namespace zeltool {

using zelassets::Bytes;

bool isPng(const Bytes& data);

// Palette PNGs of any bit depth become 8-bit indices with their PLTE; all
// other colour types become 8-bit RGBA (grey expanded, a tRNS colour key made
// transparent, 16-bit channels scaled to 8). FormatError on any problem.
Image decodePng(const Bytes& data);

// The PLTE entries of a PNG; FormatError when it has none.
std::vector<Rgb> decodePngPalette(const Bytes& data);

// An 8-bit palette PNG of width x height indices with all 256 entries.
Bytes encodeIndexedPng(int width, int height, const std::uint8_t* indices, const zelassets::Palette& palette);

// An 8-bit RGBA PNG of width x height pixels, four bytes each.
Bytes encodeRgbaPng(int width, int height, const std::uint8_t* rgba);

}  // namespace zeltool
