// TGA and PCX pictures through SDL2_image's decoders (zlib licence, like
// this project). Neither format has a signature: each header is checked
// field by field before anything is decoded, which also refuses sizes above
// the tool's limit before the decoder allocates for them.
#pragma once

#include "tools/assets/asset_files.h"
#include "tools/zeltool/image.h"

namespace zeltool {

// Whether the first bytes are a header of the kind the decoder reads:
// colour-mapped, true-colour or grey TGA, plain or run-length coded; PCX of
// version 0 to 5, run-length coded, 1 to 8 bits per plane.
bool isTga(const zelassets::Bytes& data);
bool isPcx(const zelassets::Bytes& data);

// Indexed with the file's palette for colour-mapped, grey and up to 8-bit
// PCX pictures, RGBA otherwise. FormatError on any problem.
Image decodeTga(const zelassets::Bytes& data);
Image decodePcx(const zelassets::Bytes& data);

}  // namespace zeltool
