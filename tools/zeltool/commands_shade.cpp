// shade: the dark and light tables of a palette, computed by the same code
// that builds the standard tables.

#include "tools/zeltool/commands.h"
#include "tools/zeltool/errors.h"
#include "tools/zeltool/files.h"
#include "tools/zeltool/palette_formats.h"

namespace zeltool {

namespace {

// The library finds a palette's tables by cutting the file name at its first
// dot (after any leading ones) and appending the extension; the outputs are
// named the same way so that OUT_BASE may be the palette's own name.
std::string tableName(const std::string& base, const char* extension)
{
    const std::size_t nameAt = base.find_last_of("/\\:") == std::string::npos ? 0 : base.find_last_of("/\\:") + 1;
    const std::size_t stem = base.find_first_not_of('.', nameAt);
    const std::size_t dot = stem == std::string::npos ? std::string::npos : base.find('.', stem);
    return base.substr(0, dot) + "." + extension;
}

void runShade(const Args& args)
{
    const std::string& in = args.positional[0];
    const std::string& base = args.positional[1];
    zelassets::Rgb target{0, 0, 0};
    if (const auto haze = args.option("--haze"))
        target = parseRgb("--haze", *haze);
    const std::string dark = tableName(base, "DRK");
    const std::string light = tableName(base, "LHT");
    refuseOverwrite(dark, {in});
    refuseOverwrite(light, {in});

    const Palette palette = readPaletteFile(in);
    progress("computing the shade tables of " + in);
    const zelassets::ShadeTables tables = zelassets::buildShadeTables(palette, target);
    writeOutputs({{dark, zelassets::encodeShadeTable(tables.dark)}, {light, zelassets::encodeShadeTable(tables.light)}});
}

}  // namespace

const Command ShadeCommand{
    "shade",
    "PAL OUT_BASE [--haze R,G,B]",
    "compute the shade tables of a palette",
    "Writes OUT_BASE.DRK and OUT_BASE.LHT, 16384 bytes each: for every colour of\n"
    "PAL (a raw 768-byte palette file), the nearest palette entry at 64 levels of\n"
    "darkness and 64 of lightness. Darkening goes toward black, or toward the\n"
    "haze colour when given; lightening toward white.\n"
    "The names are made as the library makes them from a palette name: the file\n"
    "name is cut at its first dot, so OUT_BASE may be the palette's own name\n"
    "(night.pal gives night.DRK and night.LHT).\n"
    "\n"
    "  --haze R,G,B  colour to darken toward, three numbers from 0 to 255\n",
    {"--haze"},
    2,
    2,
    runShade};

}  // namespace zeltool
