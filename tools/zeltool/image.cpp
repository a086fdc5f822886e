#include "tools/zeltool/image.h"

namespace zeltool {

zelassets::Palette fullPalette(const std::vector<Rgb>& table)
{
    zelassets::Palette palette{};
    for (std::size_t i = 0; i < table.size() && i < palette.size(); ++i)
        palette[i] = table[i];
    return palette;
}

}  // namespace zeltool
