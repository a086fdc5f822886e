// zelgen: writes the standard data files (palette, shade tables, font) that
// the build installs under share/zelgfx/CDDATA/SYSTEM.

#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "tools/assets/asset_files.h"
#include "tools/assets/font_design.h"
#include "tools/assets/palette_design.h"
#include "tools/assets/shade_builder.h"
#include "zelgfx/version.h"

namespace {

constexpr const char* usage =
    "usage: zelgen OUTDIR\n"
    "       zelgen --help | --version\n"
    "Writes the standard palette, its shade tables and the standard font:\n"
    "OUTDIR/standard.pal, standard.DRK, standard.LHT and standard.fnt.\n"
    "OUTDIR is created when missing.\n";

int fail(const std::string& message)
{
    std::cerr << "zelgen: " << message << '\n';
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::cout << usage;
        return 0;
    }
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::cout << "zelgen (zelgfx) " << ZELGFX_VERSION_STRING << '\n';
        return 0;
    }
    if (argc != 2 || argv[1][0] == '\0') {
        std::cerr << "zelgen: expected one argument, the output directory (see zelgen --help)\n";
        return 2;
    }
    if (argv[1][0] == '-') {
        std::cerr << "zelgen: unknown option " << argv[1] << " (see zelgen --help)\n";
        return 2;
    }

    const std::filesystem::path outDir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(outDir, ec);
    if (ec)
        return fail("cannot create " + outDir.string() + ": " + ec.message());

    using namespace zelassets;
    const Palette& palette = standardPalette();
    const ShadeTables shades = buildShadeTables(palette);

    const struct {
        const char* name;
        Bytes bytes;
    } files[] = {
        {"standard.pal", encodePalette(palette)},
        {"standard.DRK", encodeShadeTable(shades.dark)},
        {"standard.LHT", encodeShadeTable(shades.light)},
        {"standard.fnt", encodeFont(standardFont())},
    };
    for (const auto& file : files) {
        std::string error;
        if (!writeFileAtomically(outDir / file.name, file.bytes, error))
            return fail(error);
    }
    return 0;
}
