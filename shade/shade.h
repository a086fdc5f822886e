// Shade tables: every palette index mapped to a darker or lighter index, 64
// levels each way, loaded from a palette's companion files ".DRK" and ".LHT".
#pragma once

#include <cstddef>

#include "video/video.h"

constexpr int ZelShadeLevels = 64;
constexpr int ZelShadeTableBytes = 256 * ZelShadeLevels;
constexpr int ZelShadeNameSize = 84;

// The two tables of the current palette. Loops take a copy of the pointers
// once, so that their own byte writes cannot make the compiler fetch the
// tables again for every pixel.
struct ShadeTables {
    const unsigned char* dark;
    const unsigned char* light;

    static ShadeTables current() { return {ZelVideo::shadeDark, ZelVideo::shadeLight}; }

    // Entry c of the returned column (at c * ZelShadeLevels) is colour c at
    // shade value s. Values past the last level on either side take that
    // level, so that no value can address outside the tables.
    const unsigned char* column(signed char s) const
    {
        if (s > 0)
            return dark + (s < ZelShadeLevels ? s - 1 : ZelShadeLevels - 1);
        return light + (s > -ZelShadeLevels ? -s : ZelShadeLevels - 1);
    }

    // Colour c at shade value s: 1 to 64 darken through the dark table, 0 to
    // -63 lighten through the light table.
    unsigned char operator()(unsigned char c, signed char s) const
    {
        return column(s)[c * ZelShadeLevels];
    }
};

inline unsigned char shadeLookup(unsigned char c, signed char s)
{
    return ShadeTables::current()(c, s);
}

// The shade file name of a palette name: the last path component cut at its
// first dot (leading dots skipped), then "." and ext. out holds
// ZelShadeNameSize bytes.
ZELGFX_API void shadeFileName(char* out, const char* paletteName, const char* ext);
