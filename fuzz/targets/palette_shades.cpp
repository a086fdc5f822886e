// Shade table files: the input is cut in two at a point its first two bytes
// choose; the first part becomes NAME.DRK and the rest NAME.LHT.
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "shade/shade.h"
#include "video/video.h"

ZELFUZZ_TARGET(input)
{
    const size_t cut = input.word() * 2u;
    const std::vector<uint8_t> content = input.rest();
    const size_t dark = std::min(cut, content.size());
    zelfuzz::writeInput("shades.DRK", content.data(), dark);
    zelfuzz::writeInput("shades.LHT", content.data() + dark, content.size() - dark);
    ZelVideo::loadPaletteShades((zelfuzz::inputDir() + "shades.pal").c_str());
    ZelVideo::putShadedBar(-5, 3, 80, 20, 7);
}
