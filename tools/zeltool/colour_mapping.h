// True-colour pictures to palette indices: nearest colour, optionally with
// Floyd–Steinberg error diffusion, and the error of the result as PSNR.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/zeltool/image.h"

namespace zeltool {

enum class Dither { FloydSteinberg, None };

// Which palette entries a visible pixel may become; entry 0 (the transparent
// colour of sprites) never does, whatever this says.
using Usable = std::array<bool, 256>;
Usable allEntries();

struct Mapped {
    std::vector<std::uint8_t> indices;
    std::size_t visiblePixels = 0;
    double squaredError = 0;  // summed over the visible pixels' three channels
};

// One index per RGBA pixel: 0 for a fully transparent pixel, otherwise the
// usable entry nearest its colour (plus the error carried to it when
// dithering) by the perceptual distance the shade tables use; ties go to the
// lower index. Alpha between 1 and 255 counts as opaque. Dithering scans
// rows in alternate directions and carries nothing across transparent
// pixels.
Mapped mapToPalette(const Image& rgba, const zelassets::Palette& palette, Dither dither,
                    const Usable& usable = allEntries());

// "PSNR 34.56 dB over 1,024 pixels", "exact (PSNR infinite)" or "no visible
// pixels": the peak signal-to-noise ratio of the mapped colours against the
// picture's, over the three channels of the visible pixels.
std::string describeError(const Mapped& mapped);
double psnr(const Mapped& mapped);

}  // namespace zeltool
