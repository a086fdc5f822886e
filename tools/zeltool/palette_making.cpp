#include "tools/zeltool/palette_making.h"

#include <algorithm>

#include "draw/draw.h"
#include "tools/zeltool/cli.h"
#include "tools/zeltool/errors.h"
#include "tools/zeltool/quantiser.h"

namespace zeltool {

std::vector<int> defaultReserved()
{
    return {ZelBoxShadow, ZelBoxFace, ZelBoxLight};
}

MadePalette makePalette(const Image& rgba, const std::vector<int>& reserved, const zelassets::Palette& base)
{
    MadePalette made;
    std::array<bool, 256> kept{};
    kept[0] = true;
    made.palette[0] = base[0];
    for (int i : reserved) {
        kept[static_cast<std::size_t>(i)] = true;
        made.palette[static_cast<std::size_t>(i)] = base[static_cast<std::size_t>(i)];
        made.usable[static_cast<std::size_t>(i)] = i != 0;
    }
    const auto free = static_cast<int>(std::count(kept.begin(), kept.end(), false));
    std::vector<Rgb> colours = quantise(rgba, free);
    const auto luma = [](Rgb c) { return 299 * c.r + 587 * c.g + 114 * c.b; };
    std::stable_sort(colours.begin(), colours.end(), [&](Rgb a, Rgb b) { return luma(a) < luma(b); });
    std::size_t next = 0;
    for (std::size_t i = 1; i < 256 && next < colours.size(); ++i)
        if (!kept[i]) {
            made.palette[i] = colours[next++];
            made.usable[i] = true;
        }
    made.colours = static_cast<int>(next);
    return made;
}

std::vector<int> parseReserved(const std::string& option, const std::string& text)
{
    std::vector<int> entries;
    if (text == "none")
        return entries;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, end - start);
        const std::size_t dash = item.find('-', 1);
        const int low = parseIntIn(option, item.substr(0, dash), 1, 255);
        const int high = dash == std::string::npos ? low : parseIntIn(option, item.substr(dash + 1), low, 255);
        for (int i = low; i <= high; ++i)
            entries.push_back(i);
        if (end == text.size()) {
            std::sort(entries.begin(), entries.end());
            entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
            return entries;
        }
        start = end + 1;
    }
}

}  // namespace zeltool
