// The engine's data file formats, encoded to bytes and written to disk.
//
//   palette  768 bytes: 256 entries of red, green, blue, 8 bits each
//   shade    16384 bytes: one table, row c column k at c * 64 + k
//   bitmap   20-byte header of int32 little-endian width, height, originX,
//            originY and 4 reserved zero bytes, then width * height palette
//            indices, rows top first
//   font     uint32 glyph count, 256-byte character map (glyph number from 1,
//            0 for none), then the glyphs as bitmaps in glyph-number order
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/assets/shade_builder.h"

namespace zelassets {

struct AssetBitmap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t originX = 0;
    std::int32_t originY = 0;
    std::vector<std::uint8_t> pixels; // width * height, rows top first

    friend bool operator==(const AssetBitmap&, const AssetBitmap&) = default;
};

struct AssetFont {
    std::array<std::uint8_t, 256> charMap{}; // glyph number (from 1) or 0
    std::vector<AssetBitmap> glyphs;         // glyph number g is glyphs[g - 1]

    friend bool operator==(const AssetFont&, const AssetFont&) = default;
};

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t PaletteFileBytes = 768;
constexpr std::size_t BitmapHeaderBytes = 20;
constexpr std::size_t FontHeadBytes = 4 + 256;

Bytes encodePalette(const Palette& palette);
Bytes encodeShadeTable(const ShadeTable& table);
// Appends the bitmap to out. The pixel count must be width * height.
void encodeBitmap(const AssetBitmap& bitmap, Bytes& out);
Bytes encodeFont(const AssetFont& font);

// Writes bytes to path through a temporary file in the same directory that
// is renamed into place, so the file is either complete or untouched. On
// failure returns false and sets error to a one-line reason.
bool writeFileAtomically(const std::filesystem::path& path, const Bytes& bytes, std::string& error);

} // namespace zelassets
