// A picture as read from a PNG or BMP file, before it becomes an engine
// bitmap: palette indices with the file's colour table, or RGBA colours.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/assets/shade_builder.h"

namespace zeltool {

using zelassets::Rgb;

// Pictures with more pixels than this are refused before they are decoded.
constexpr long long MaxImagePixels = 1LL << 26;

struct Image {
    int width = 0;
    int height = 0;
    bool indexed = false;
    // indexed: one palette index per pixel; otherwise red, green, blue, alpha
    // per pixel. Rows top first, no padding.
    std::vector<std::uint8_t> pixels;
    // indexed: the file's colour table, which may hold fewer than 256 entries.
    std::vector<Rgb> palette;

    std::size_t pixelCount() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
};

// A full 256-entry palette from a shorter colour table, black beyond its end.
zelassets::Palette fullPalette(const std::vector<Rgb>& table);

}  // namespace zeltool
