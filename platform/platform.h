// The few operating-system services the library was written against, on top
// of dlopen and the monotonic clock: driver modules and the performance
// counter.
#pragma once

#include <cstdint>

#include "video/zelapi.h"

// A loaded module; values below ModuleLoadFailed mean failure, as the
// library tests them.
using HMODULE = uintptr_t;
constexpr HMODULE ModuleLoadFailed = 32;

// Loads a module by name. A name holding '/' is that path alone. Otherwise a
// module built into the program of that name (AddBuiltinModule) comes first,
// then the directories searched are, in order: the executable's, the current one, each
// of ZEL_DRIVER_PATH (':'-separated), the project's driver directory beside
// the library (lib/zelgfx/drivers, found from where the library was loaded),
// then each of PATH. File names match without regard to case. Loading a file
// again returns the same handle and counts a reference. Returns 0 on failure.
ZELGFX_API HMODULE LoadLibraryA(const char* name);
// Address of an exported symbol, or null.
ZELGFX_API void* GetProcAddress(HMODULE module, const char* name);
// Drops one reference; the module is unloaded with the last. Non-zero on success.
ZELGFX_API int FreeLibrary(HMODULE module);

// A module linked into the program rather than loaded from a file, for
// programs that carry their drivers inside themselves (in a web browser no
// module can be loaded from a file). LoadLibraryA finds it under fileName,
// matched without regard to case, before it searches any directory;
// GetProcAddress answers the exports of its table, which ends with an entry
// whose name is null; FreeLibrary counts its references as for a module file
// (its code never leaves the program). The name is copied; the table must
// live as long as the program. Non-zero when added; 0, with the reason for
// zelGetError(), for a missing name or table, a name of 80 characters or
// more, a name already built in, or a full table.
struct ZelModuleExport {
    const char* name;
    void* address;
};
constexpr int ZelBuiltinModuleSlots = 16;
constexpr int ZelBuiltinModuleNameSize = 80;
ZELGFX_API int AddBuiltinModule(const char* fileName, const ZelModuleExport* exports);

// Nanoseconds of the monotonic clock, counted at 1,000,000,000 per second.
ZELGFX_API int QueryPerformanceFrequency(int64_t* frequency);
ZELGFX_API int QueryPerformanceCounter(int64_t* counter);
