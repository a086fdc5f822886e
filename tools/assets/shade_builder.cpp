#include "tools/assets/shade_builder.h"

namespace zelassets {

std::uint32_t colourDistance(Rgb a, Rgb b)
{
    // redmean: (2 + rm/256) dr^2 + 4 dg^2 + (2 + (255 - rm)/256) db^2 with
    // rm the mean red, here multiplied by 512 to keep integers. Largest value
    // is about 3.3e8, well inside 32 bits.
    const int dr = a.r - b.r;
    const int dg = a.g - b.g;
    const int db = a.b - b.b;
    const int redSum = a.r + b.r;
    return static_cast<std::uint32_t>((1024 + redSum) * dr * dr + 2048 * dg * dg +
                                      (1534 - redSum) * db * db);
}

Rgb mixToward(Rgb from, Rgb to, int amount)
{
    const auto mix = [amount](int x, int y) {
        return static_cast<std::uint8_t>((x * (ShadeLevels - amount) + y * amount + ShadeLevels / 2) /
                                         ShadeLevels);
    };
    return {mix(from.r, to.r), mix(from.g, to.g), mix(from.b, to.b)};
}

int nearestColour(const Palette& palette, Rgb target, Candidates candidates, int preferred)
{
    if (preferred >= 0 && preferred < 256 && palette[preferred] == target &&
        (preferred != 0 || candidates == Candidates::All))
        return preferred;
    const int first = candidates == Candidates::All ? 0 : 1;
    int best = first;
    std::uint32_t bestDistance = colourDistance(palette[first], target);
    for (int i = first + 1; i < 256 && bestDistance != 0; ++i) {
        const std::uint32_t d = colourDistance(palette[i], target);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

ShadeTables buildShadeTables(const Palette& palette, Rgb darkTarget, Rgb lightTarget)
{
    ShadeTables tables;
    for (int c = 0; c < 256; ++c) {
        const Candidates candidates = c == 0 ? Candidates::All : Candidates::Opaque;
        std::uint8_t* dark = tables.dark.data() + c * ShadeLevels;
        std::uint8_t* light = tables.light.data() + c * ShadeLevels;
        for (int k = 0; k < ShadeLevels; ++k) {
            dark[k] = static_cast<std::uint8_t>(
                nearestColour(palette, mixToward(palette[c], darkTarget, k + 1), candidates, c));
            light[k] = static_cast<std::uint8_t>(
                nearestColour(palette, mixToward(palette[c], lightTarget, k), candidates, c));
        }
    }
    return tables;
}

} // namespace zelassets
