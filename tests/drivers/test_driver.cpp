// A graphics driver module for the tests: records every call where a test can
// read it. Compile definitions remove services to make the faulty variants.

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "drivers/driver_api.h"
#include "test_driver.h"

static TestDriverState state;

ZEL_DRIVER_EXPORT TestDriverState* testDriverState() { return &state; }

#ifndef NO_HOOK_DEVICE
ZEL_DRIVER_EXPORT signed char hookDevice(ZelDeviceRect* rect, unsigned char** videoMemory)
{
    if (const char* size = std::getenv("ZEL_TESTDRV_SIZE"))
        std::sscanf(size, "%dx%d", &state.width, &state.height);
    rect->right = state.width;
    rect->bottom = state.height;
    state.videoMemory = videoMemory;
    ++state.hooks;
    return -1;
}
#endif

#ifndef NO_REFRESH
ZEL_DRIVER_EXPORT void refresh()
{
    ++state.refreshes;
    const unsigned char* pixels = *state.videoMemory;
    const int bytes = state.width * state.height;
    state.firstPixelAtRefresh = bytes > 0 ? pixels[0] : 0;
    state.refreshedBytesNotFirst = 0;
    for (int i = 0; i < bytes; ++i)
        state.refreshedBytesNotFirst += pixels[i] != pixels[0];
}
#endif

#ifndef NO_SET_VIDEO_MODE
ZEL_DRIVER_EXPORT signed char setVideoMode(uintptr_t settings)
{
    ++state.videoModes;
    state.lastModeArgument = settings;
#ifdef MODE_FAILS
    return 0;
#endif
    return -1;
}
#endif

#ifndef NO_SET_TEXT_MODE
ZEL_DRIVER_EXPORT signed char setTextMode(uintptr_t)
{
    ++state.textModes;
    // Leaves a trace a test can find after this process has ended.
    if (const char* mark = std::getenv("ZEL_TESTDRV_TEXT_MODE_MARK"))
        if (FILE* f = std::fopen(mark, "w"))
            std::fclose(f);
    return -1;
}
#endif

#ifndef NO_OPTIONAL_SERVICES
ZEL_DRIVER_EXPORT void setPalette(unsigned short first, unsigned short count, unsigned char* rgb)
{
    ++state.paletteCalls;
    if (first < 256 && count <= 256 - first)
        std::memcpy(state.palette + first * 3, rgb, count * 3u);
}

ZEL_DRIVER_EXPORT signed char winEvent(unsigned int, unsigned int, unsigned short, unsigned int) { return 7; }

ZEL_DRIVER_EXPORT void enableLowerBar() {}
ZEL_DRIVER_EXPORT void disableLowerBar() {}
ZEL_DRIVER_EXPORT void shake(int amount) { state.lastShake = amount; }
#endif
