// JPEG pictures through libjpeg-turbo: baseline and progressive, grey,
// YCbCr, RGB and (Adobe) CMYK, all as RGBA.
#pragma once

#include "tools/assets/asset_files.h"
#include "tools/zeltool/image.h"

namespace zeltool {

bool isJpeg(const zelassets::Bytes& data);

// FormatError for a damaged or cut-short file: libjpeg would fill the
// missing part with grey, which is not the picture.
Image decodeJpeg(const zelassets::Bytes& data);

}  // namespace zeltool
