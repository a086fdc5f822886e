// Shade tables: every palette index mapped to a darker or lighter index, 64
// levels each way, loaded from a palette's companion files ".DRK" and ".LHT".
#pragma once

#include <cstddef>

#include "video/video.h"

constexpr int ZelShadeLevels = 64;
constexpr int ZelShadeTableBytes = 256 * ZelShadeLevels;
constexpr int ZelShadeNameSize = 84;

// Colour c at shade value s: 1 to 64 darken through the dark table, 0 to -63
// lighten through the light table. Values outside that range are the
// caller's error.
inline unsigned char shadeLookup(unsigned char c, signed char s)
{
    return s > 0 ? ZelVideo::shadeDark[c * ZelShadeLevels + (s - 1)]
                 : ZelVideo::shadeLight[c * ZelShadeLevels - s];
}

// The shade file name of a palette name: the last path component cut at its
// first dot (leading dots skipped), then "." and ext. out holds
// ZelShadeNameSize bytes.
ZELGFX_API void shadeFileName(char* out, const char* paletteName, const char* ext);
