// The palette store, the relay through which palettes reach the driver, and
// the drawing statistics.
#pragma once

#include "video/video.h"
#include "video/zelapi.h"

constexpr int ZelPaletteSlots = 16;
constexpr int ZelPaletteEntries = 256;
constexpr int ZelPaletteBytes = ZelPaletteEntries * 3;  // red, green, blue, 0 to 63 each
constexpr int ZelFadeLevels = 63;                        // steps of a fade, one per level of darkness

ZELGFX_API extern unsigned char palettes[ZelPaletteSlots][ZelPaletteBytes];
ZELGFX_API extern unsigned char paletteShadow[ZelPaletteBytes];  // last sent through the relay
ZELGFX_API extern char paletteName[32];  // last name loaded into slot 0
ZELGFX_API extern float gammaOffset;     // added to every 6-bit component at load
ZELGFX_API extern ZelVideoStatistics videoStatistics;

// Copies the 768 bytes last sent through the relay; returns -1.
ZELGFX_API signed char getPalette(unsigned char* out);

// The function behind the exported setPalette once a driver is linked: keeps
// a copy for getPalette, then calls the driver.
ZELGFX_API void paletteRelay(unsigned short first, unsigned short count, unsigned char* rgb);
// The gamma offset of a "GammaCorr" value: (g - 1.0) x 32.0.
float gammaOffsetOf(double gamma);
