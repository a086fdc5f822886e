#include "tools/zeltool/font_sources.h"

#include <cstring>

#include "tools/zeltool/errors.h"

namespace zeltool {

namespace {

bool isInk(const Image& image, std::size_t pixel)
{
    if (image.indexed)
        return image.pixels[pixel] != 0;
    const std::uint8_t* p = image.pixels.data() + 4 * pixel;
    return p[3] != 0 && std::memcmp(p, image.pixels.data(), 4) != 0;
}

AssetBitmap cellGlyph(const Image& image, int left, int top, int width, int height, bool& inked)
{
    AssetBitmap glyph = blankGlyph(width, height);
    inked = false;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::size_t pixel = static_cast<std::size_t>(top + y) * static_cast<std::size_t>(image.width) +
                                      static_cast<std::size_t>(left + x);
            if (isInk(image, pixel)) {
                glyph.pixels[static_cast<std::size_t>(y * width + x)] = 1;
                inked = true;
            }
        }
    return glyph;
}

}  // namespace

AssetBitmap blankGlyph(int width, int height)
{
    AssetBitmap glyph;
    glyph.width = width;
    glyph.height = height;
    glyph.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    return glyph;
}

AssetFont assembleFont(const GlyphLookup& glyphFor, const Charset* charset)
{
    AssetFont font;
    for (int code = 1; code < 256; ++code) {
        const char32_t key = charset ? charset->codePoint[static_cast<std::size_t>(code)] : static_cast<char32_t>(code);
        if (key == 0)
            continue;
        std::optional<AssetBitmap> glyph = glyphFor(key);
        if (!glyph)
            continue;
        font.glyphs.push_back(std::move(*glyph));
        font.charMap[static_cast<std::size_t>(code)] = static_cast<std::uint8_t>(font.glyphs.size());
    }
    if (font.glyphs.empty())
        throw FormatError{charset ? "has no glyph for any character of " + charset->name
                                  : "has no glyph for any character code from 1 to 255"};
    return font;
}

AssetFont assembleFont(const std::map<int, AssetBitmap>& glyphs)
{
    AssetFont font;
    for (const auto& [code, glyph] : glyphs) {
        if (code < 1 || code > 255)
            continue;
        font.glyphs.push_back(glyph);
        font.charMap[static_cast<std::size_t>(code)] = static_cast<std::uint8_t>(font.glyphs.size());
    }
    if (font.glyphs.empty())
        throw FormatError{"has no glyph for any character code from 1 to 255"};
    return font;
}

AssetFont fontFromGrid(const Image& image, int cellWidth, int cellHeight, int first)
{
    if (image.width % cellWidth != 0 || image.height % cellHeight != 0)
        throw FormatError{"is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
                          " pixels, not a whole number of " + std::to_string(cellWidth) + "x" +
                          std::to_string(cellHeight) + " cells"};
    const int columns = image.width / cellWidth;
    const int rows = image.height / cellHeight;
    std::map<int, AssetBitmap> glyphs;
    int lastInked = -1;
    for (int i = 0; i < columns * rows && first + i <= 255; ++i) {
        bool inked = false;
        glyphs[first + i] = cellGlyph(image, i % columns * cellWidth, i / columns * cellHeight, cellWidth,
                                      cellHeight, inked);
        if (inked)
            lastInked = first + i;
    }
    glyphs.erase(glyphs.upper_bound(lastInked), glyphs.end());
    return assembleFont(glyphs);
}

}  // namespace zeltool
