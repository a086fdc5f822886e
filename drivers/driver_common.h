// What the project's own drivers share: their configuration values and the
// expansion of the display's 6-bit palette components to 8 bits.
#pragma once

#include <cstdint>
#include <cstdlib>

#include "engine/zelmem/zelmem.h"

namespace zeldrv {

// A configuration value as an integer, or fallback when unset or not a number.
inline long configNumber(const char* key, long fallback)
{
    char text[32];
    ZelSystem::GetRegistryString(key, "", text, sizeof text);
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' ? value : fallback;
}

// 0 stays 0 and 63 becomes 255: the top bits are repeated into the low ones.
constexpr uint8_t expand6to8(uint8_t v)
{
    return static_cast<uint8_t>(((v & 63) << 2) | ((v & 63) >> 4));
}

// A 256-entry palette as loaded through setPalette, 6-bit components.
struct Palette6 {
    uint8_t rgb[768] = {};

    void load(unsigned short first, unsigned short count, const unsigned char* entries)
    {
        for (unsigned i = 0; i < count && first + i < 256u; ++i)
            for (int c = 0; c < 3; ++c)
                rgb[(first + i) * 3 + c] = entries[i * 3 + c];
    }
};

}  // namespace zeldrv
