// GIF pictures through giflib: one frame of a still or animated GIF, as the
// animation shows it at that frame.
#pragma once

#include "tools/assets/asset_files.h"
#include "tools/zeltool/image.h"

namespace zeltool {

bool isGif(const zelassets::Bytes& data);

// Frame `frame` (counted from 0) composed on the GIF's logical screen with
// the frames before it, each disposed of as the file says. Indexed with the
// colour table when every frame drawn so far uses the same one (the GIF's
// transparent index, where pixels stay uncovered, has alpha 0), RGBA
// otherwise. FormatError for a damaged file or a frame it does not have.
Image decodeGif(const zelassets::Bytes& data, int frame);

}  // namespace zeltool
