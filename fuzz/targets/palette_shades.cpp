// Shade table files: the input is cut in two at a point its first two bytes
// choose; the first part becomes NAME.DRK and the rest NAME.LHT.
#include <algorithm>

#include "fuzz/fuzz_support.h"
#include "shade/shade.h"
#include "video/video.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zelfuzz::startVideo();
    zelfuzz::ByteReader in(data, size);
    const size_t cut = in.word() * 2u;
    const std::string content = in.rest();
    const size_t dark = std::min(cut, content.size());
    const auto* bytes = reinterpret_cast<const uint8_t*>(content.data());
    zelfuzz::writeInput("shades.DRK", bytes, dark);
    zelfuzz::writeInput("shades.LHT", bytes + dark, content.size() - dark);

    zelfuzz::LeakCheck leaks;
    ZelVideo::loadPaletteShades((zelfuzz::inputDir() + "shades.pal").c_str());
    ZelVideo::putShadedBar(-5, 3, 80, 20, 7);
    return 0;
}
