// The contract between zelgfx and a graphics driver module. A driver is a
// shared object (file name ending in .drv) exporting these services with C
// linkage. hookDevice, refresh, setVideoMode and setTextMode are required; the
// others are optional.
#pragma once

#include <cstdint>

// The rectangle a driver fills in hookDevice: right is the screen width and
// bottom the screen height. Laid out like a clip region.
struct ZelDeviceRect {
    int32_t left, top, right, bottom, originX, originY;
    uint32_t next;
};

#define ZEL_DRIVER_EXPORT extern "C" __attribute__((visibility("default")))

// Reports the screen size in rect and receives the address of the library's
// videoMemory variable: the driver reads *videoMemory (scrWidth x scrHeight
// bytes of palette indices) whenever it shows the screen.
typedef signed char (*ZelHookDeviceFn)(ZelDeviceRect* rect, unsigned char** videoMemory);
// Shows the screen buffer through the current palette.
typedef void (*ZelRefreshFn)(void);
// setVideoMode receives the address of ZelVideo::Settings and answers non-zero
// when the mode is set; setTextMode(0) leaves graphics mode.
typedef signed char (*ZelModeFn)(uintptr_t);
// Loads count entries from entry first; rgb holds count x 3 bytes, 0 to 63.
typedef void (*ZelSetPaletteFn)(unsigned short first, unsigned short count, unsigned char* rgb);
// Lets the caller pump window events; answers non-zero when the user asked to quit.
typedef signed char (*ZelWinEventFn)(unsigned int, unsigned int, unsigned short, unsigned int);
typedef void (*ZelLowerBarFn)(void);
typedef void (*ZelShakeFn)(int);
// Why the last call failed (setVideoMode answering 0 above all), as a whole
// sentence naming the driver, or null. The library records it for
// zelGetError() when the driver will not start.
typedef const char* (*ZelLastErrorFn)(void);
