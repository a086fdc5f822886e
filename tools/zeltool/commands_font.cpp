// font build and font preview: engine fonts from BDF, PCF, TrueType,
// OpenType, PSF and grid pictures, and a picture of text drawn with a font
// by the library.

#include <filesystem>

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

// --charset: a set's name, else a list file.
Charset charsetOf(const Args& args)
{
    const std::string value = args.option("--charset").value_or("latin1");
    if (const Charset* named = namedCharset(value))
        return *named;
    if (!std::filesystem::exists(value))
        throw UsageError{"--charset expects latin1, cp437, cp1252 or a list file, not '" + value + "'"};
    const Bytes data = readFile(value);
    return aboutFile(value, [&] { return parseCharsetList(std::string(data.begin(), data.end()), value); });
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
    const Image image = readForeignPicture(in);
    return aboutFile(in, [&] { return fontFromGrid(image, size.a, size.b, first); });
}

void runBuild(const Args& args)
{
    const std::string& in = args.positional[0];
    const std::string& out = args.positional[1];
    const Charset charset = charsetOf(args);
    std::vector<std::string> inputs = {in};
    if (const auto list = args.option("--charset"); list && !namedCharset(*list))
        inputs.push_back(*list);
    refuseOverwrite(out, inputs);
    RenderOptions render;
    render.size = parseIntIn("--size", args.option("--size").value_or("0"), 0, MaxGlyphSide);
    render.threshold = parseIntIn("--threshold", args.option("--threshold").value_or("128"), 1, 255);
    const Bytes data = readFile(in);
    BuiltFont built;
    // --cell says the input is meant to be a grid picture; its reader then
    // names what else the file is.
    if (isForeignPicture(data) || args.option("--cell")) {
        built.font = gridFont(in, args);
    } else {
        if (args.option("--first"))
            throw UsageError{"--first applies to grid pictures, and " + in + " is not a picture"};
        built = aboutFile(in, [&] {
            return isPsf(data) ? fontFromPsf(data, charset) : fontFromFreetype(data, charset, render);
        });
    }
    writeOutput(out, zelassets::encodeFont(built.font));
    progress(built.throughCharset ? "built " + out + " with " + std::to_string(built.font.glyphs.size()) +
                                        " glyphs for the characters of " + charset.name
                                  : "built " + out + " with " + std::to_string(built.font.glyphs.size()) +
                                        " glyphs in the codes of " + in + " (it names no Unicode characters, so " +
                                        "no character set applies)");
}

void runPreview(const Args& args)
{
    const std::string& in = args.positional[0];
    const std::string& out = args.positional[1];
    const auto palettePath = args.option("--palette");
    refuseOverwrite(out, {in, palettePath.value_or("")});
    std::u32string given;
    if (const auto text = args.option("--text")) {
        try {
            given = decodeUtf8(*text);
        } catch (const FormatError& e) {
            throw UsageError{"--text " + e.problem};
        }
    }
    const Charset charset = charsetOf(args);

    const Bytes data = readFile(in);
    const AssetFont font = aboutFile(in, [&] { return decodeFontFile(data); });
    Palette palette;
    for (int i = 0; i < 256; ++i)
        palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                                                static_cast<std::uint8_t>(i)};
    if (palettePath)
        palette = readAnyPaletteFile(*palettePath);
    using zelassets::Candidates;
    const auto ink = static_cast<std::uint8_t>(zelassets::nearestColour(palette, {255, 255, 255}, Candidates::Opaque));
    const auto background = static_cast<std::uint8_t>(zelassets::nearestColour(palette, {0, 0, 0}, Candidates::All));

    std::string text = allCharacters(font);
    if (args.option("--text")) {
        std::vector<char32_t> missing;
        text = encodeText(given, charset, missing);
        if (!missing.empty()) {
            std::string list;
            for (std::size_t i = 0; i < missing.size() && i < 8; ++i) {
                if (i > 0)
                    list += ' ';
                list += encodeUtf8(missing[i]);
            }
            progress(std::to_string(missing.size()) + " characters of the text have no code in " + charset.name +
                     " and are drawn as '?': " + list);
        }
    }
    const Image image = renderPreview(in, font, text, ink, background);
    writeOutput(out, encodeIndexedPng(image.width, image.height, image.pixels.data(), palette));
}

}  // namespace

const Command FontBuild{
    "font build",
    "IN OUT.fnt [--charset SET] [--size N] [--threshold T] [--cell WxH] [--first CODE]",
    "make an engine font from a BDF, PCF, TrueType, OpenType, PSF or grid picture",
    "IN is recognised by its content:\n"
    "  BDF, PCF (also .pcf.gz)  X11 bitmap fonts, read by FreeType\n"
    "  TrueType, OpenType  outline fonts, rendered by FreeType at --size pixels\n"
    "       (the em height); a pixel is ink where its coverage reaches\n"
    "       --threshold\n"
    "  PSF  a Linux console font, version 1 or 2\n"
    "  picture  a grid of cells of WxH pixels read left to right, top to\n"
    "       bottom; ink is a non-zero index, or in a true-colour picture any\n"
    "       visible pixel unlike the top-left one; empty cells after the last\n"
    "       inked one are left out\n"
    "Each glyph is as wide as its advance and as high as the font's cell\n"
    "(ascent and descent), with pixel value 1 for ink. Codes 1 to 255 get\n"
    "glyphs (text is a C string, so code 0 never reaches a font): code c gets\n"
    "the glyph of character c of the character set. Fonts whose glyphs name no\n"
    "Unicode characters (PSF without a Unicode table, X11 fonts of another\n"
    "registry, grids) keep their own codes.\n"
    "\n"
    "  --charset SET    latin1 (default), cp437, cp1252, or a list file of\n"
    "                   'CODE CHARACTER' lines (0x80 U+20AC, or the character\n"
    "                   itself in UTF-8; # starts a comment)\n"
    "  --size N         pixel size of an outline font (required for one), or\n"
    "                   the strike of a bitmap font that has several\n"
    "  --threshold T    coverage from 1 to 255 that makes ink, default 128\n"
    "  --cell WxH       cell size of a grid picture (required for one)\n"
    "  --first CODE     character code of the first cell, default 32 (space)\n",
    {"--cell", "--first", "--charset", "--size", "--threshold"},
    2,
    2,
    runBuild};

const Command FontPreview{
    "font preview",
    "IN.fnt OUT.png [--text \"...\"] [--charset SET] [--palette PAL]",
    "draw sample text with a font, through the library",
    "Loads IN with the library's font loader and draws the text with its text\n"
    "output into a screen just large enough for it (2 pixels of margin), then\n"
    "writes that screen as an indexed PNG. A newline in the text starts a new\n"
    "line. The background is the palette entry nearest black, the ink the one\n"
    "nearest white.\n"
    "\n"
    "  --text TEXT    UTF-8 text; default every character of the font, 16 a\n"
    "                 line. Each character is drawn with its code in the\n"
    "                 character set the font was built with; characters\n"
    "                 without one are drawn as '?' and named on stderr\n"
    "  --charset SET  latin1 (default), cp437, cp1252 or a list file, as for\n"
    "                 font build\n"
    "  --palette PAL  engine, GIMP, JASC or PNG palette; default a grey ramp\n",
    {"--text", "--palette", "--charset"},
    2,
    2,
    runPreview};

}  // namespace zeltool
