#include "tools/zeltool/charsets.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tools/zeltool/errors.h"

namespace zeltool {

namespace {

// Codes 1 to 31 and 127 of the IBM PC set: its pictures, not control codes.
constexpr char32_t Cp437Low[32] = {
    0,      0x263a, 0x263b, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25d8, 0x25cb, 0x25d9,
    0x2642, 0x2640, 0x266a, 0x266b, 0x263c, 0x25ba, 0x25c4, 0x2195, 0x203c, 0x00b6, 0x00a7,
    0x25ac, 0x21a8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221f, 0x2194, 0x25b2, 0x25bc,
};

constexpr char32_t Cp437High[128] = {
    0x00c7, 0x00fc, 0x00e9, 0x00e2, 0x00e4, 0x00e0, 0x00e5, 0x00e7, 0x00ea, 0x00eb, 0x00e8, 0x00ef, 0x00ee,
    0x00ec, 0x00c4, 0x00c5, 0x00c9, 0x00e6, 0x00c6, 0x00f4, 0x00f6, 0x00f2, 0x00fb, 0x00f9, 0x00ff, 0x00d6,
    0x00dc, 0x00a2, 0x00a3, 0x00a5, 0x20a7, 0x0192, 0x00e1, 0x00ed, 0x00f3, 0x00fa, 0x00f1, 0x00d1, 0x00aa,
    0x00ba, 0x00bf, 0x2310, 0x00ac, 0x00bd, 0x00bc, 0x00a1, 0x00ab, 0x00bb, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255d, 0x255c, 0x255b, 0x2510, 0x2514,
    0x2534, 0x252c, 0x251c, 0x2500, 0x253c, 0x255e, 0x255f, 0x255a, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256c, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256b, 0x256a, 0x2518, 0x250c,
    0x2588, 0x2584, 0x258c, 0x2590, 0x2580, 0x03b1, 0x00df, 0x0393, 0x03c0, 0x03a3, 0x03c3, 0x00b5, 0x03c4,
    0x03a6, 0x0398, 0x03a9, 0x03b4, 0x221e, 0x03c6, 0x03b5, 0x2229, 0x2261, 0x00b1, 0x2265, 0x2264, 0x2320,
    0x2321, 0x00f7, 0x2248, 0x00b0, 0x2219, 0x00b7, 0x221a, 0x207f, 0x00b2, 0x25a0, 0x00a0,
};

// Codes 128 to 159 of Windows Western; 0 where the set leaves a code empty.
constexpr char32_t Cp1252Middle[32] = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178,
};

Charset latin1()
{
    Charset c{"latin1", {}};
    for (char32_t i = 1; i < 256; ++i)
        c.codePoint[i] = i;
    return c;
}

Charset cp437()
{
    Charset c = latin1();
    c.name = "cp437";
    for (int i = 1; i < 32; ++i)
        c.codePoint[static_cast<std::size_t>(i)] = Cp437Low[i];
    c.codePoint[127] = 0x2302;
    for (int i = 0; i < 128; ++i)
        c.codePoint[static_cast<std::size_t>(128 + i)] = Cp437High[i];
    return c;
}

Charset cp1252()
{
    Charset c = latin1();
    c.name = "cp1252";
    for (int i = 0; i < 32; ++i)
        c.codePoint[static_cast<std::size_t>(128 + i)] = Cp1252Middle[i];
    return c;
}

// A whole number in base 10 or, with 0x, 16; -1 otherwise.
long parseNumber(const std::string& text, int base)
{
    if (text.empty() || text.size() > 12)
        return -1;
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, base);
    return *end == '\0' && v >= 0 ? v : -1;
}

}  // namespace

const Charset* namedCharset(const std::string& name)
{
    static const Charset sets[] = {latin1(), cp437(), cp1252()};
    for (const Charset& c : sets)
        if (c.name == name)
            return &c;
    return nullptr;
}

Charset parseCharsetList(const std::string& text, const std::string& name)
{
    Charset charset{name, {}};
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        const auto fail = [&](const std::string& problem) {
            return FormatError{"line " + std::to_string(number) + ": " + problem};
        };
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::string code, character, extra;
        if (!(words >> code))
            continue;
        if (!(words >> character) || words >> extra)
            throw fail("expected a code and a character, as in '0x80 U+20AC'");
        const long c = parseNumber(code, 0);
        if (c < 1 || c > 255)
            throw fail("'" + code + "' is not a code from 1 to 255");
        long point = -1;
        if (character.size() > 2 && (character[0] == 'U' || character[0] == 'u') && character[1] == '+') {
            point = parseNumber(character.substr(2), 16);
        } else {
            const std::u32string decoded = decodeUtf8(character);
            if (decoded.size() == 1)
                point = static_cast<long>(decoded[0]);
        }
        if (point < 1 || point > 0x10ffff || (point >= 0xd800 && point < 0xe000))
            throw fail("'" + character + "' is not one character (U+HHHH or the character itself)");
        charset.codePoint[static_cast<std::size_t>(c)] = static_cast<char32_t>(point);
    }
    return charset;
}

std::u32string decodeUtf8(const std::string& text)
{
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int extra = lead < 0x80 ? 0 : lead >= 0xc2 && lead < 0xe0 ? 1 : lead >= 0xe0 && lead < 0xf0 ? 2
                                      : lead >= 0xf0 && lead < 0xf5     ? 3
                                                                        : -1;
        if (extra < 0 || text.size() - i <= static_cast<std::size_t>(extra))
            throw FormatError{"is not UTF-8 (byte " + std::to_string(i + 1) + ")"};
        char32_t c = extra == 0 ? lead : lead & (0x3fu >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xc0) != 0x80)
                throw FormatError{"is not UTF-8 (byte " + std::to_string(i + 1) + ")"};
            c = c << 6 | (next & 0x3fu);
        }
        const char32_t least[] = {0, 0x80, 0x800, 0x10000};
        if (c < least[extra] || c > 0x10ffff || (c >= 0xd800 && c < 0xe000))
            throw FormatError{"is not UTF-8 (byte " + std::to_string(i + 1) + ")"};
        out += c;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string encodeUtf8(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xc0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xe0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    } else {
        out += static_cast<char>(0xf0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3f));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    }
    return out;
}

std::string encodeText(const std::u32string& text, const Charset& charset, std::vector<char32_t>& missing)
{
    std::string out;
    for (const char32_t c : text) {
        if (c == '\n') {
            out += '\n';
            continue;
        }
        int code = 0;
        for (int k = 1; k < 256 && code == 0; ++k)
            if (charset.codePoint[static_cast<std::size_t>(k)] == c && k != '\n')
                code = k;
        if (code == 0)
            missing.push_back(c);
        out += static_cast<char>(code == 0 ? '?' : code);
    }
    return out;
}

}  // namespace zeltool
