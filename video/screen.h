// The screen buffer and the video state shared with callers through exported
// variables, and the simplest operations on the buffer.
#pragma once

#include <cstdint>

#include "video/video.h"
#include "video/zelapi.h"

ZELGFX_API extern int scrWidth;
ZELGFX_API extern int scrHeight;
ZELGFX_API extern unsigned char* videoMemory;
ZELGFX_API extern unsigned char defaultColor;
ZELGFX_API extern int currentXPos;
ZELGFX_API extern int currentYPos;
ZELGFX_API extern unsigned char zoomFactor;
ZELGFX_API extern unsigned char hazeLevel;
ZELGFX_API extern unsigned char nightLevel;

// Driver services, linked when video starts. setPalette points at the
// library's palette relay, never at the driver itself.
ZELGFX_API extern void (*refresh)(void);
ZELGFX_API extern signed char (*setTextMode)(uintptr_t);
ZELGFX_API extern signed char (*setVideoMode)(uintptr_t);
ZELGFX_API extern void (*setPalette)(unsigned short, unsigned short, unsigned char*);
ZELGFX_API extern void (*enableLowerBar)(void);
ZELGFX_API extern void (*disableLowerBar)(void);
ZELGFX_API extern signed char (*ZelVideoWinEvent)(unsigned int, unsigned int, unsigned short, unsigned int);

// Fills the whole screen buffer with c, whatever the clip region.
ZELGFX_API void clrScreen(unsigned char c);
// Sets / reads one pixel at drawing coordinates, clipped to the current
// region; getPixel answers 0 outside it.
ZELGFX_API void putPixel(int x, int y, unsigned char c);
ZELGFX_API unsigned char getPixel(int x, int y);
