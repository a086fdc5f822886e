// Reading the engine's own bitmap and font files back, strictly: a file with
// a wrong size is refused instead of being read as far as it goes, so that a
// wrong file given by mistake is caught. Writing is zelassets' encoders.
#pragma once

#include "tools/assets/asset_files.h"

namespace zeltool {

using zelassets::AssetBitmap;
using zelassets::AssetFont;
using zelassets::Bytes;

// One engine bitmap that fills the whole file. FormatError otherwise.
AssetBitmap decodeBitmapFile(const Bytes& data);

// A font file: head, count glyph bitmaps, nothing after them; every charMap
// entry names a glyph the file holds. FormatError otherwise.
AssetFont decodeFontFile(const Bytes& data);

}  // namespace zeltool
