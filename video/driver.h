// Graphics driver modules: preloading, making one current, linking its
// services into the exported function pointers, and switching drivers. The
// Screen bitmap is (re)built here to the size the driver reports.
#pragma once

#include "drivers/driver_api.h"
#include "platform/platform.h"
#include "video/zelapi.h"

// A preloaded driver: a copy of its module file name on the temporary heap
// (label "string") and its module. Free when name is null.
struct ZelPreloadSlot {
    char* name;
    HMODULE module;
};

constexpr int ZelPreloadSlots = 4;
constexpr int ZelDriverNameSize = 80;   // module file names hold 79 characters at most

// Driver state, readable by callers and tests.
ZELGFX_API extern HMODULE driverModule;                  // current driver; 0 when none
ZELGFX_API extern ZelPreloadSlot preloadTable[ZelPreloadSlots];
ZELGFX_API extern ZelSetPaletteFn driverSetPalette;      // behind the palette relay
ZELGFX_API extern ZelShakeFn driverShake;                // null when the driver has none
ZELGFX_API extern unsigned screenCapacity;               // pixel bytes the Screen block holds

// -1 on success, 0 on failure; messages go to standard output.
ZELGFX_API signed char preloadGraphicsDriver(const char* name);
ZELGFX_API signed char setGraphicsDriver(const char* name);
// 1 when a driver is current afterwards, 0 otherwise.
ZELGFX_API signed char switchGraphicsDriver(const char* name);

// Links driverModule; -1 when linked and in its video mode, 0 otherwise (the
// module is then unloaded).
ZELGFX_API signed char linkGraphicsDriver();
// True when a slot of the preload table holds the module.
ZELGFX_API bool isPreloaded(HMODULE module);
// Unloads driverModule unless the preload table keeps it, and clears every
// service pointer into it (the exported setPalette stays the relay, which
// then sends nothing): nothing of an unloaded module can be called again.
ZELGFX_API void unloadDriver();
// When a driver is current: pops the Screen's top region and unloads it.
ZELGFX_API void dropCurrentDriver();
// Empties the preload table: modules other than the current driver are freed.
ZELGFX_API void releasePreloadTable();
