// Sample text drawn by the library itself: the font file is loaded with
// ZelFont::load and the text drawn with ZelFont::put into a Screen bitmap,
// exactly as a game would show it.
#pragma once

#include <cstdint>
#include <string>

#include "tools/assets/asset_files.h"
#include "tools/zeltool/image.h"

namespace zeltool {

// Preview pictures larger than this on a side are refused.
constexpr int MaxPreviewSide = 8192;

// The text in the font at fontPath, which must already have been checked to
// decode as `font`, on a background of index `background` with glyph ink in
// index `ink`, with a margin of 2 pixels. FileError naming the font when the
// library cannot load it or the picture would be too large.
Image renderPreview(const std::string& fontPath, const zelassets::AssetFont& font, const std::string& text,
                    std::uint8_t ink, std::uint8_t background);

// Every character that has a glyph, 16 to a line.
std::string allCharacters(const zelassets::AssetFont& font);

}  // namespace zeltool
