// True-colour pictures to palette indices.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/zeltool/image.h"

namespace zeltool {

// One index per RGBA pixel: 0 for a fully transparent pixel, otherwise the
// palette entry nearest its colour by the perceptual distance the shade
// tables use, never index 0 (the transparent colour of sprites). Alpha
// between 1 and 255 counts as opaque.
std::vector<std::uint8_t> mapToPalette(const Image& rgba, const zelassets::Palette& palette);

}  // namespace zeltool
