#include "tools/zeltool/engine_formats.h"

#include <string>

#include "tools/zeltool/errors.h"

namespace zeltool {

namespace {

std::int32_t loadInt32(const Bytes& data, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | data[at + static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(v);
}

// Reads the bitmap at `at` and moves `at` past it. what names it in errors.
AssetBitmap readBitmap(const Bytes& data, std::size_t& at, const std::string& what)
{
    if (data.size() - at < zelassets::BitmapHeaderBytes)
        throw FormatError{what + ": the file ends inside the 20-byte bitmap header"};
    AssetBitmap b;
    b.width = loadInt32(data, at);
    b.height = loadInt32(data, at + 4);
    b.originX = loadInt32(data, at + 8);
    b.originY = loadInt32(data, at + 12);
    at += zelassets::BitmapHeaderBytes;
    const std::string size = std::to_string(b.width) + " x " + std::to_string(b.height);
    if (b.width < 0 || b.height < 0)
        throw FormatError{what + ": a bitmap of " + size + " pixels"};
    const std::uint64_t count = static_cast<std::uint64_t>(b.width) * static_cast<std::uint64_t>(b.height);
    if (count > data.size() - at)
        throw FormatError{what + ": the header says " + size + " pixels but only " +
                          std::to_string(data.size() - at) + " bytes follow it"};
    b.pixels.assign(data.begin() + static_cast<std::ptrdiff_t>(at),
                    data.begin() + static_cast<std::ptrdiff_t>(at + count));
    at += count;
    return b;
}

void expectEnd(const Bytes& data, std::size_t at, const std::string& what)
{
    if (at != data.size())
        throw FormatError{std::to_string(data.size() - at) + " bytes follow the " + what +
                          "; not an engine " + what + " file"};
}

}  // namespace

AssetBitmap decodeBitmapFile(const Bytes& data)
{
    std::size_t at = 0;
    AssetBitmap b = readBitmap(data, at, "not an engine bitmap");
    expectEnd(data, at, "bitmap");
    return b;
}

AssetFont decodeFontFile(const Bytes& data)
{
    if (data.size() < zelassets::FontHeadBytes)
        throw FormatError{"not a font file: shorter than its 260-byte head"};
    const std::uint32_t count = static_cast<std::uint32_t>(loadInt32(data, 0));
    if (count > 256)
        throw FormatError{"not a font file: it claims " + std::to_string(count) + " glyphs, at most 256 fit"};
    AssetFont font;
    for (std::size_t c = 0; c < 256; ++c) {
        font.charMap[c] = data[4 + c];
        if (font.charMap[c] > count)
            throw FormatError{"character " + std::to_string(c) + " names glyph " + std::to_string(font.charMap[c]) +
                              " of a font with " + std::to_string(count)};
    }
    std::size_t at = zelassets::FontHeadBytes;
    for (std::uint32_t k = 0; k < count; ++k)
        font.glyphs.push_back(readBitmap(data, at, "glyph " + std::to_string(k + 1)));
    expectEnd(data, at, "font");
    return font;
}

}  // namespace zeltool
