// ZelVideo: the static face of the video core. Screen state, start-up and
// shutdown, palettes and screen effects, the drawing statistics and the shade
// tables.
#pragma once

#include <cstdint>

#include "video/handles.h"
#include "video/zelapi.h"

struct Bitmap;

// Video mode request, handed by address to the driver's setVideoMode.
struct VideoSettings {
    int32_t mode;            // driver-specific mode; 0 asks for the driver's default
    signed char fullScreen;  // non-zero asks for the whole display
    unsigned char scale;     // window scale factor; 0 lets the driver choose
    uint16_t reserved;
};

// Calls and multiplications of the scaled, rotated and filled blits.
struct ZelVideoStatistics {
    uint32_t zoomCalls;
    uint32_t zoomMuls;
    uint32_t rotCalls;
    uint32_t rotMuls;
    uint32_t scaleCalls;
    uint32_t scaleMuls;
    uint32_t fillCalls;
    uint32_t fillMuls;
};
static_assert(sizeof(ZelVideoStatistics) == 32);

class ZELGFX_API ZelVideo {
public:
    // Screen state.
    static int* lineOff;                   // lineOff[y] = y * scrWidth, scrHeight + 1 entries
    static unsigned char* maxVideoMemory;  // last pixel of the screen buffer
    static signed char graphOn;            // -1 while video is set up
    static VideoSettings Settings;

    // Start-up and shutdown. A null name selects the configured value; for
    // change(), (const char*)-1 keeps the current one.
    static signed char init(const char* driver, const char* palette, const char* font);
    static signed char change(const char* driver, const char* palette, const char* font);
    static signed char preload(const char* name);
    static void deinit();

    // Palettes: 16 slots loaded from files with gamma correction.
    static signed char loadPalette(const char* name, unsigned int slot);
    static void setPalette(unsigned int slot);
    static void FadeOut(int duration, HSimple<unsigned char> palette, int (*callback)(int));
    static void FadeIn(int duration, HSimple<unsigned char> palette, int (*callback)(int));
    static void SetGammaCorrection(float gamma);
    static void Shake(int amount);
    static void initStat();
    static void getStat(ZelVideoStatistics* out);

    // Shade tables: 256 rows of 64 levels, filled from a palette's companion
    // files.
    static unsigned char* shadeDark;
    static unsigned char* shadeLight;
    static signed char loadPaletteShades(const char* paletteName);

    // Shaded blits through the shade tables. A constant shade over a screen
    // rectangle; a mask bitmap whose bytes are shade values (1:1 and scaled;
    // the second scaled form takes byte >> (n - 1)); a bitmap drawn in shaded
    // colours at a power-of-two scale, plain or turned clockwise.
    static void putShadedBar(int x, int y, int width, int height, signed char shade);
    static void putShadedImage(int x, int y, HClass<Bitmap> mask);
    static void bmpZoomShadedImage(int x, int y, HClass<Bitmap> mask, unsigned int zoom);
    static void bmpZoomShadedImage(int x, int y, HClass<Bitmap> mask, unsigned int zoom, unsigned int n);
    static void bmpZoomImageShadeScale(int x, int y, HClass<Bitmap> bitmap, unsigned char scale, signed char shade);
    static void bmpZoomImageShadeScaleRot90(int x, int y, HClass<Bitmap> bitmap, unsigned char scale, signed char shade);
    static void bmpZoomImageShadeScaleRot180(int x, int y, HClass<Bitmap> bitmap, unsigned char scale, signed char shade);
    static void bmpZoomImageShadeScaleRot270(int x, int y, HClass<Bitmap> bitmap, unsigned char scale, signed char shade);
};

// Work-buffer set-up and release of the video core.
ZELGFX_API signed char initGraphicsData();
ZELGFX_API void deinitGraphics();
