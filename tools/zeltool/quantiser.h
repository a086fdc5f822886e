// Colour quantisation by Wu's method (Graphics Gems II, "Efficient
// Statistical Computations for Optimal Color Quantization"): the colour cube
// of 32 levels a side is cut into boxes, each cut chosen to minimise the
// summed squared error, and each box gives the mean colour of its pixels.
#pragma once

#include <vector>

#include "tools/zeltool/image.h"

namespace zeltool {

// At most `count` colours for the visible (alpha above 0) pixels of an RGBA
// picture. When the picture holds no more than count distinct colours they
// are its own colours exactly. Fewer colours come back when the picture has
// fewer to tell apart; none when it has no visible pixel.
std::vector<Rgb> quantise(const Image& rgba, int count);

}  // namespace zeltool
