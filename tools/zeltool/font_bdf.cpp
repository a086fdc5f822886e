// X11 BDF fonts: the font's ascent and descent give the cell height; each
// glyph's BBX places its bitmap relative to the origin on the baseline, and
// its DWIDTH is the advance. Ink outside the advance x cell box is dropped.

#include <optional>
#include <sstream>
#include <vector>

#include "tools/zeltool/errors.h"
#include "tools/zeltool/font_sources.h"

namespace zeltool {

namespace {

struct Box {
    int width = 0, height = 0, x = 0, y = 0;
};

struct BdfGlyph {
    int code = -1;
    std::optional<int> advance;
    Box box;
    std::vector<std::uint8_t> bits;  // box.width x box.height, rows top first
};

struct BdfFont {
    std::optional<Box> boundingBox;
    std::optional<int> ascent, descent, advance;
    std::vector<BdfGlyph> glyphs;
};

int hexDigit(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

class Parser {
public:
    explicit Parser(const std::string& text)
    {
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines_.push_back(line);
        }
    }

    BdfFont parse()
    {
        if (lines_.empty() || keyword(0) != "STARTFONT")
            throw FormatError{"not a BDF font: it does not start with STARTFONT"};
        BdfFont font;
        for (at_ = 1; at_ < lines_.size(); ++at_) {
            const std::string key = keyword(at_);
            if (key == "FONTBOUNDINGBOX")
                font.boundingBox = box();
            else if (key == "FONT_ASCENT")
                font.ascent = numbers(1, -MaxGlyphSide, MaxGlyphSide)[0];
            else if (key == "FONT_DESCENT")
                font.descent = numbers(1, -MaxGlyphSide, MaxGlyphSide)[0];
            else if (key == "DWIDTH")
                font.advance = numbers(2, 0, MaxGlyphSide)[0];
            else if (key == "STARTCHAR")
                font.glyphs.push_back(glyph());
            else if (key == "ENDFONT")
                return font;
        }
        throw FormatError{"the BDF font ends without ENDFONT"};
    }

private:
    std::vector<std::string> lines_;
    std::size_t at_ = 0;

    FormatError error(const std::string& problem) const
    {
        return FormatError{"line " + std::to_string(at_ + 1) + ": " + problem};
    }

    std::string keyword(std::size_t i) const
    {
        std::istringstream in(lines_[i]);
        std::string key;
        in >> key;
        return key;
    }

    // The first count numbers after the keyword, each within low..high.
    std::vector<int> numbers(std::size_t count, int low, int high) const
    {
        std::istringstream in(lines_[at_]);
        std::string key;
        in >> key;
        std::vector<int> values;
        long v = 0;
        while (values.size() < count && in >> v) {
            if (v < low || v > high)
                throw error(key + " value " + std::to_string(v) + " is outside " + std::to_string(low) + " to " +
                            std::to_string(high));
            values.push_back(static_cast<int>(v));
        }
        if (values.size() < count)
            throw error(key + " needs " + std::to_string(count) + " numbers");
        return values;
    }

    Box box() const
    {
        const std::vector<int> v = numbers(4, -MaxGlyphSide, MaxGlyphSide);
        if (v[0] < 0 || v[1] < 0)
            throw error("a bounding box of negative size");
        return {v[0], v[1], v[2], v[3]};
    }

    BdfGlyph glyph()
    {
        BdfGlyph g;
        for (++at_; at_ < lines_.size(); ++at_) {
            const std::string key = keyword(at_);
            if (key == "ENCODING")
                g.code = numbers(1, -1, 0x7fffffff)[0];
            else if (key == "DWIDTH")
                g.advance = numbers(2, 0, MaxGlyphSide)[0];
            else if (key == "BBX")
                g.box = box();
            else if (key == "BITMAP")
                g.bits = bitmap(g.box);
            else if (key == "ENDCHAR")
                return checked(g);
            else if (key == "STARTCHAR" || key == "ENDFONT")
                break;
        }
        throw error("a glyph without ENDCHAR");
    }

    BdfGlyph checked(const BdfGlyph& g) const
    {
        if (g.bits.size() != static_cast<std::size_t>(g.box.width) * static_cast<std::size_t>(g.box.height))
            throw error("the glyph's BITMAP does not follow a BBX of its size");
        return g;
    }

    std::vector<std::uint8_t> bitmap(const Box& b)
    {
        std::vector<std::uint8_t> bits(static_cast<std::size_t>(b.width) * static_cast<std::size_t>(b.height));
        const std::size_t digits = static_cast<std::size_t>((b.width + 7) / 8 * 2);
        for (int y = 0; y < b.height; ++y) {
            ++at_;
            if (at_ >= lines_.size())
                throw error("the file ends inside a glyph bitmap");
            const std::string row = keyword(at_);
            if (row.size() < digits || row.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                throw error("expected a bitmap row of " + std::to_string(digits) + " hex digits");
            for (int x = 0; x < b.width; ++x) {
                const int nibble = hexDigit(row[static_cast<std::size_t>(x / 4)]);
                bits[static_cast<std::size_t>(y * b.width + x)] = static_cast<std::uint8_t>(nibble >> (3 - x % 4) & 1);
            }
        }
        return bits;
    }
};

// Ascent and descent from the properties, else from the bounding box.
void cellMetrics(const BdfFont& font, int& ascent, int& height)
{
    if (!font.boundingBox && (!font.ascent || !font.descent))
        throw FormatError{"BDF font without FONTBOUNDINGBOX"};
    ascent = font.ascent ? *font.ascent : font.boundingBox->height + font.boundingBox->y;
    const int descent = font.descent ? *font.descent : -font.boundingBox->y;
    height = ascent + descent;
    if (height < 1 || height > MaxGlyphSide)
        throw FormatError{"BDF font with a cell height of " + std::to_string(height) + " pixels"};
}

AssetBitmap place(const BdfGlyph& g, int advance, int ascent, int height)
{
    AssetBitmap out = blankGlyph(advance, height);
    const int top = ascent - (g.box.y + g.box.height);
    for (int y = 0; y < g.box.height; ++y)
        for (int x = 0; x < g.box.width; ++x) {
            const int cx = g.box.x + x;
            const int cy = top + y;
            if (g.bits[static_cast<std::size_t>(y * g.box.width + x)] && cx >= 0 && cx < advance && cy >= 0 &&
                cy < height)
                out.pixels[static_cast<std::size_t>(cy * advance + cx)] = 1;
        }
    return out;
}

}  // namespace

AssetFont fontFromBdf(const std::string& text)
{
    const BdfFont font = Parser(text).parse();
    int ascent = 0, height = 0;
    cellMetrics(font, ascent, height);
    std::map<int, AssetBitmap> glyphs;
    for (const BdfGlyph& g : font.glyphs) {
        if (g.code < 1 || g.code > 255 || glyphs.count(g.code))
            continue;
        const int advance = g.advance ? *g.advance : font.advance ? *font.advance : g.box.width;
        glyphs[g.code] = place(g, advance, ascent, height);
    }
    return assembleFont(glyphs);
}

}  // namespace zeltool
