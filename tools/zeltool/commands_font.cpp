// font build and font preview: engine fonts from BDF, PSF and grid pictures,
// and a picture of text drawn with a font by the library.

#include "tools/zeltool/bmp_io.h"
#include "tools/zeltool/commands.h"
#include "tools/zeltool/engine_formats.h"
#include "tools/zeltool/errors.h"
#include "tools/zeltool/files.h"
#include "tools/zeltool/font_preview.h"
#include "tools/zeltool/font_sources.h"
#include "tools/zeltool/palette_formats.h"
#include "tools/zeltool/pictures.h"
#include "tools/zeltool/png_io.h"

namespace zeltool {

namespace {

bool isBdf(const Bytes& data)
{
    constexpr char magic[] = "STARTFONT";
    return data.size() >= sizeof magic - 1 && std::equal(magic, magic + sizeof magic - 1, data.begin());
}

AssetFont gridFont(const std::string& in, const Args& args)
{
    const auto cell = args.option("--cell");
    if (!cell)
        throw UsageError{in + " is a picture: give --cell WxH for its grid"};
    const IntPair size = parsePair("--cell", *cell, 'x');
    if (size.a < 1 || size.b < 1 || size.a > MaxGlyphSide || size.b > MaxGlyphSide)
        throw UsageError{"--cell sides must be from 1 to " + std::to_string(MaxGlyphSide) + ", not '" + *cell + "'"};
    const int first = parseIntIn("--first", args.option("--first").value_or("32"), 0, 255);
    const Image image = readPngOrBmp(in);
    return aboutFile(in, [&] { return fontFromGrid(image, size.a, size.b, first); });
}

void runBuild(const Args& args)
{
    const std::string& in = args.positional[0];
    const std::string& out = args.positional[1];
    refuseOverwrite(out, {in});
    const Bytes data = readFile(in);
    AssetFont font;
    // --cell says the input is meant to be a grid picture; its reader then
    // names what else the file is.
    if (isPng(data) || isBmp(data) || args.option("--cell")) {
        font = gridFont(in, args);
    } else {
        if (args.option("--first"))
            throw UsageError{"--first applies to grid pictures, and " + in + " is not a PNG or BMP"};
        font = aboutFile(in, [&] {
            if (isPsf(data))
                return fontFromPsf(data);
            if (isBdf(data))
                return fontFromBdf(std::string(data.begin(), data.end()));
            throw FormatError{"not a BDF or PSF font, nor a PNG or BMP grid of glyphs"};
        });
    }
    writeOutput(out, zelassets::encodeFont(font));
}

// Text from a terminal is UTF-8, while fonts are indexed by Latin-1 codes:
// UTF-8 made only of code points up to 255 becomes those codes. Anything
// else is taken byte for byte.
std::string latin1(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        const bool twoBytes = (c == 0xc2 || c == 0xc3) && i + 1 < text.size() &&
                              (static_cast<unsigned char>(text[i + 1]) & 0xc0) == 0x80;
        if (!twoBytes)
            return text;
        out += static_cast<char>((c & 0x03) << 6 | (static_cast<unsigned char>(text[++i]) & 0x3f));
    }
    return out;
}

void runPreview(const Args& args)
{
    const std::string& in = args.positional[0];
    const std::string& out = args.positional[1];
    const auto palettePath = args.option("--palette");
    refuseOverwrite(out, {in, palettePath.value_or("")});

    const Bytes data = readFile(in);
    const AssetFont font = aboutFile(in, [&] { return decodeFontFile(data); });
    Palette palette;
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                                                static_cast<std::uint8_t>(i)};
    if (palettePath)
        palette = readPaletteFile(*palettePath);
    using zelassets::Candidates;
    const auto ink = static_cast<std::uint8_t>(zelassets::nearestColour(palette, {255, 255, 255}, Candidates::Opaque));
    const auto background = static_cast<std::uint8_t>(zelassets::nearestColour(palette, {0, 0, 0}, Candidates::All));

    const auto given = args.option("--text");
    const std::string text = given ? latin1(*given) : allCharacters(font);
    const Image image = renderPreview(in, font, text, ink, background);
    writeOutput(out, encodeIndexedPng(image.width, image.height, image.pixels.data(), palette));
}

}  // namespace

const Command FontBuild{
    "font build",
    "IN.(bdf|psf|png|bmp) OUT.fnt [--cell WxH] [--first CODE]",
    "make an engine font from a BDF, PSF or grid picture",
    "IN is recognised by its content:\n"
    "  BDF  an X11 bitmap font (text: STARTCHAR, ENCODING, BBX, BITMAP)\n"
    "  PSF  a Linux console font, version 1 or 2; with a Unicode table, code c\n"
    "       gets the glyph of U+c\n"
    "  PNG or BMP  a grid of cells of WxH pixels read left to right, top to\n"
    "       bottom; ink is a non-zero index, or in a true-colour picture any\n"
    "       visible pixel unlike the top-left one; empty cells after the last\n"
    "       inked one are left out\n"
    "Each glyph is as wide as its advance and as high as the font's cell, with\n"
    "pixel value 1 for ink. Codes 1 to 255 get glyphs (text is a C string, so\n"
    "code 0 never reaches a font).\n"
    "\n"
    "  --cell WxH    cell size of a grid picture (required for one)\n"
    "  --first CODE  character code of the first cell, default 32 (space)\n",
    {"--cell", "--first"},
    2,
    2,
    runBuild};

const Command FontPreview{
    "font preview",
    "IN.fnt OUT.png [--text \"...\"] [--palette PAL]",
    "draw sample text with a font, through the library",
    "Loads IN with the library's font loader and draws the text with its text\n"
    "output into a screen just large enough for it (2 pixels of margin), then\n"
    "writes that screen as an indexed PNG. A newline in the text starts a new\n"
    "line. The background is the palette entry nearest black, the ink the one\n"
    "nearest white.\n"
    "\n"
    "  --text TEXT    the text; default every character of the font, 16 a line.\n"
    "                 UTF-8 text is drawn with the font's Latin-1 codes (e\n"
    "                 acute as code 233) when all its characters have one\n"
    "  --palette PAL  raw 768-byte palette file; default a grey ramp\n",
    {"--text", "--palette"},
    2,
    2,
    runPreview};

}  // namespace zeltool
