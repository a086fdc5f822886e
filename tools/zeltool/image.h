// A picture as read from a file of another program, before it becomes an
// engine bitmap: palette indices with the file's colour table, or RGBA
// colours.
#pragma once

#include <cstdint>
#include <string>
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
    // indexed: the alpha of each palette entry (PNG tRNS, GIF transparency);
    // empty when every entry is opaque.
    std::vector<std::uint8_t> paletteAlpha;

    std::size_t pixelCount() const { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }
};

// A full 256-entry palette from a shorter colour table, black beyond its end.
zelassets::Palette fullPalette(const std::vector<Rgb>& table);

// The picture as RGBA: an indexed one through its palette (indices beyond
// it black) and its entries' alpha; a true-colour one as it is.
Image toRgba(const Image& image);

// "67,108,864": a count with thousands separated, as messages state limits.
std::string withCommas(long long count);

// FormatError unless width x height is a picture this tool takes: both
// sides positive and at most MaxImagePixels pixels. what names the format.
void checkPictureSize(long long width, long long height, const char* what);

}  // namespace zeltool
