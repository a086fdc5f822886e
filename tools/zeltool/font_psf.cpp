// Linux console fonts. PSF1: a 4-byte header, 256 or 512 glyphs 8 pixels
// wide. PSF2: a 32-byte header giving glyph count and size. Either may end
// in a Unicode table listing the code points each glyph shows; with one,
// character code c gets the glyph that shows the character set's character
// c, without one it gets glyph c.

#include <algorithm>
#include <map>
#include <vector>

#include "tools/zeltool/errors.h"
#include "tools/zeltool/font_sources.h"

namespace zeltool {

namespace {

constexpr std::uint8_t Psf1Magic[2] = {0x36, 0x04};
constexpr std::uint8_t Psf2Magic[4] = {0x72, 0xb5, 0x4a, 0x86};

struct PsfLayout {
    std::uint64_t glyphCount = 0;
    int width = 0, height = 0;
    std::uint64_t glyphBytes = 0;
    std::uint64_t glyphsAt = 0;
    bool hasTable = false;
    bool wideTable = false;  // PSF1: 16-bit code points; PSF2: UTF-8
};

std::uint32_t load32(const Bytes& data, std::size_t at)
{
    return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
           static_cast<std::uint32_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
}

bool startsWith(const Bytes& data, const std::uint8_t* magic, std::size_t n)
{
    return data.size() >= n && std::equal(magic, magic + n, data.begin());
}

PsfLayout psf1Layout(const Bytes& data)
{
    if (data.size() < 4)
        throw FormatError{"the PSF file ends inside its header"};
    PsfLayout l;
    const std::uint8_t mode = data[2];
    l.glyphCount = mode & 0x01 ? 512 : 256;
    l.hasTable = (mode & 0x06) != 0;
    l.wideTable = true;
    l.width = 8;
    l.height = data[3];
    l.glyphBytes = data[3];
    l.glyphsAt = 4;
    return l;
}

PsfLayout psf2Layout(const Bytes& data)
{
    if (data.size() < 32)
        throw FormatError{"the PSF file ends inside its header"};
    PsfLayout l;
    const std::uint32_t headerSize = load32(data, 8);
    l.hasTable = (load32(data, 12) & 1) != 0;
    l.glyphCount = load32(data, 16);
    l.glyphBytes = load32(data, 20);
    const std::uint32_t height = load32(data, 24);
    const std::uint32_t width = load32(data, 28);
    if (width < 1 || width > MaxGlyphSide || height < 1 || height > MaxGlyphSide)
        throw FormatError{"PSF glyphs of " + std::to_string(width) + " x " + std::to_string(height) + " pixels"};
    l.width = static_cast<int>(width);
    l.height = static_cast<int>(height);
    if (l.glyphBytes != static_cast<std::uint64_t>((width + 7) / 8) * height)
        throw FormatError{"PSF glyph size of " + std::to_string(l.glyphBytes) + " bytes does not match " +
                          std::to_string(width) + " x " + std::to_string(height) + " pixels"};
    if (headerSize < 32)
        throw FormatError{"PSF header size of " + std::to_string(headerSize) + " bytes"};
    l.glyphsAt = headerSize;
    return l;
}

AssetBitmap glyphAt(const Bytes& data, const PsfLayout& l, std::uint64_t index)
{
    AssetBitmap glyph = blankGlyph(l.width, l.height);
    const std::size_t rowBytes = static_cast<std::size_t>((l.width + 7) / 8);
    const std::uint8_t* bits = data.data() + l.glyphsAt + index * l.glyphBytes;
    for (int y = 0; y < l.height; ++y) {
        const std::uint8_t* row = bits + static_cast<std::size_t>(y) * rowBytes;
        for (int x = 0; x < l.width; ++x)
            glyph.pixels[static_cast<std::size_t>(y * l.width + x)] =
                static_cast<std::uint8_t>(row[x / 8] >> (7 - x % 8) & 1);
    }
    return glyph;
}

// Reads one code point of the table at `at`; marks 0xFFFF (end of the
// glyph's entry) and 0xFFFE (start of sequences) come back as themselves.
std::uint32_t nextCodePoint(const Bytes& data, std::size_t& at, bool wide)
{
    const auto need = [&](std::size_t n) {
        if (data.size() - at < n)
            throw FormatError{"the PSF Unicode table ends early"};
    };
    if (wide) {
        need(2);
        const std::uint32_t v = data[at] | static_cast<std::uint32_t>(data[at + 1]) << 8;
        at += 2;
        return v;
    }
    need(1);
    const std::uint8_t lead = data[at++];
    if (lead == 0xff || lead == 0xfe)
        return 0xff00u | lead;
    const int extra = lead < 0x80 ? 0 : lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc0 ? 1 : -1;
    if (extra < 0)
        throw FormatError{"bad UTF-8 in the PSF Unicode table"};
    need(static_cast<std::size_t>(extra));
    std::uint32_t v = extra == 0 ? lead : lead & (0x3fu >> extra);
    for (int i = 0; i < extra; ++i)
        v = v << 6 | (data[at++] & 0x3fu);
    return v;
}

// Glyph index by code point, from the table at `at`.
std::map<char32_t, std::uint64_t> tableCodes(const Bytes& data, const PsfLayout& l, std::size_t at)
{
    std::map<char32_t, std::uint64_t> codes;
    for (std::uint64_t g = 0; g < l.glyphCount; ++g) {
        bool inSequences = false;
        for (;;) {
            const std::uint32_t v = nextCodePoint(data, at, l.wideTable);
            if (v == 0xffff)
                break;
            if (v == 0xfffe)
                inSequences = true;
            else if (!inSequences && v >= 1 && !codes.count(v))
                codes[v] = g;
        }
    }
    return codes;
}

}  // namespace

bool isPsf(const Bytes& data)
{
    return startsWith(data, Psf1Magic, 2) || startsWith(data, Psf2Magic, 4);
}

BuiltFont fontFromPsf(const Bytes& data, const Charset& charset)
{
    if (!isPsf(data))
        throw FormatError{"not a PSF font"};
    const PsfLayout l = startsWith(data, Psf2Magic, 4) ? psf2Layout(data) : psf1Layout(data);
    if (l.height < 1)
        throw FormatError{"PSF glyphs of height 0"};
    if (l.glyphsAt > data.size() || (data.size() - l.glyphsAt) / l.glyphBytes < l.glyphCount)
        throw FormatError{"the PSF file ends before its last glyph"};

    std::map<char32_t, std::uint64_t> codes;
    if (l.hasTable) {
        codes = tableCodes(data, l, static_cast<std::size_t>(l.glyphsAt + l.glyphCount * l.glyphBytes));
    } else {
        for (std::uint64_t c = 1; c < 256 && c < l.glyphCount; ++c)
            codes[static_cast<char32_t>(c)] = c;
    }
    const auto glyphFor = [&](char32_t key) -> std::optional<AssetBitmap> {
        const auto it = codes.find(key);
        if (it == codes.end())
            return std::nullopt;
        return glyphAt(data, l, it->second);
    };
    return {assembleFont(glyphFor, l.hasTable ? &charset : nullptr), l.hasTable};
}

}  // namespace zeltool
