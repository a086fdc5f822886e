#include "tools/zeltool/colour_mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <unordered_map>

#include "tools/zeltool/files.h"

namespace zeltool {

namespace {

// Pictures above this many pixels get a progress line.
constexpr std::size_t BigPicture = 1u << 20;

// The nearest usable entry; pictures repeat colours, so each distinct one is
// searched once while the memory of answers stays below a million colours.
class Nearest {
public:
    Nearest(const zelassets::Palette& palette, const Usable& usable) : palette_(palette)
    {
        for (int i = 1; i < 256; ++i)
            if (usable[static_cast<std::size_t>(i)])
                candidates_.push_back(i);
        if (candidates_.empty())
            candidates_.push_back(1);
    }

    std::uint8_t operator()(Rgb c)
    {
        const std::uint32_t key = static_cast<std::uint32_t>(c.r << 16 | c.g << 8 | c.b);
        if (known_.size() >= KnownColours)
            known_.clear();
        const auto [it, added] = known_.try_emplace(key, 0);
        if (added) {
            std::uint32_t best = std::numeric_limits<std::uint32_t>::max();
            for (int i : candidates_) {
                const std::uint32_t d = zelassets::colourDistance(palette_[static_cast<std::size_t>(i)], c);
                if (d < best) {
                    best = d;
                    it->second = static_cast<std::uint8_t>(i);
                }
            }
        }
        return it->second;
    }

private:
    static constexpr std::size_t KnownColours = 1 << 20;
    const zelassets::Palette& palette_;
    std::vector<int> candidates_;
    std::unordered_map<std::uint32_t, std::uint8_t> known_;
};

std::uint8_t clampByte(float v)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 255.0f)));
}

}  // namespace

Usable allEntries()
{
    Usable all;
    all.fill(true);
    return all;
}

Mapped mapToPalette(const Image& rgba, const zelassets::Palette& palette, Dither dither, const Usable& usable)
{
    const std::size_t count = rgba.pixelCount();
    if (count >= BigPicture)
        progress("mapping " + withCommas(static_cast<long long>(count)) + " pixels to the palette");
    Nearest nearest(palette, usable);
    Mapped out;
    out.indices.assign(count, 0);
    const int w = rgba.width;
    // Errors carried to this row and the next, three channels per pixel,
    // with a spare pixel at both ends.
    std::vector<float> here(3 * static_cast<std::size_t>(w + 2)), below(here.size());
    for (int y = 0; y < rgba.height; ++y) {
        const int step = y % 2 == 0 ? 1 : -1;
        std::fill(below.begin(), below.end(), 0.0f);
        for (int k = 0; k < w; ++k) {
            const int x = step > 0 ? k : w - 1 - k;
            const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x);
            const std::uint8_t* p = rgba.pixels.data() + 4 * i;
            if (p[3] == 0)
                continue;
            float want[3];
            for (int c = 0; c < 3; ++c)
                want[c] = std::clamp(p[c] + (dither == Dither::None ? 0.0f : here[3 * (x + 1) + c]), 0.0f, 255.0f);
            const std::uint8_t index = nearest({clampByte(want[0]), clampByte(want[1]), clampByte(want[2])});
            out.indices[i] = index;
            const Rgb got = palette[index];
            const float gotC[3] = {static_cast<float>(got.r), static_cast<float>(got.g), static_cast<float>(got.b)};
            for (int c = 0; c < 3; ++c) {
                const double e = static_cast<double>(p[c]) - gotC[c];
                out.squaredError += e * e;
                if (dither == Dither::None)
                    continue;
                const float carry = want[c] - gotC[c];
                here[3 * (x + 1 + step) + c] += carry * 7 / 16;
                below[3 * (x + 1 - step) + c] += carry * 3 / 16;
                below[3 * (x + 1) + c] += carry * 5 / 16;
                below[3 * (x + 1 + step) + c] += carry * 1 / 16;
            }
            ++out.visiblePixels;
        }
        std::swap(here, below);
    }
    return out;
}

double psnr(const Mapped& mapped)
{
    if (mapped.visiblePixels == 0 || mapped.squaredError == 0)
        return std::numeric_limits<double>::infinity();
    const double mse = mapped.squaredError / (3.0 * static_cast<double>(mapped.visiblePixels));
    return 10 * std::log10(255.0 * 255.0 / mse);
}

std::string describeError(const Mapped& mapped)
{
    if (mapped.visiblePixels == 0)
        return "no visible pixels";
    if (mapped.squaredError == 0)
        return "exact (PSNR infinite)";
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", psnr(mapped));
    return "PSNR " + std::string(text) + " dB over " + withCommas(static_cast<long long>(mapped.visiblePixels)) +
           " pixels";
}

}  // namespace zeltool
