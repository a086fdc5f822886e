#include "tools/zeltool/colour_mapping.h"

#include <string>
#include <unordered_map>

#include "tools/zeltool/files.h"

namespace zeltool {

namespace {

// Pictures above this many pixels get a progress line.
constexpr std::size_t BigPicture = 1u << 20;

}  // namespace

std::vector<std::uint8_t> mapToPalette(const Image& rgba, const zelassets::Palette& palette)
{
    const std::size_t count = rgba.pixelCount();
    if (count >= BigPicture)
        progress("mapping " + std::to_string(count) + " pixels to the palette");
    // Pictures repeat colours: each distinct one is searched once.
    std::unordered_map<std::uint32_t, std::uint8_t> known;
    std::vector<std::uint8_t> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = rgba.pixels.data() + 4 * i;
        if (p[3] == 0) {
            out[i] = 0;
            continue;
        }
        const std::uint32_t key = static_cast<std::uint32_t>(p[0]) << 16 | static_cast<std::uint32_t>(p[1]) << 8 | p[2];
        const auto [it, added] = known.try_emplace(key, 0);
        if (added)
            it->second = static_cast<std::uint8_t>(
                zelassets::nearestColour(palette, {p[0], p[1], p[2]}, zelassets::Candidates::Opaque));
        out[i] = it->second;
    }
    return out;
}

}  // namespace zeltool
