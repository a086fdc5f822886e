// Finding, preloading and linking graphics driver modules, and building the
// Screen bitmap to the size the driver reports.

#include "video/driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "bitmap/bitmap.h"
#include "engine/zelmem/zelmem.h"
#include "video/file.h"
#include "video/last_error.h"
#include "video/palette.h"
#include "video/screen.h"

HMODULE driverModule = 0;
ZelPreloadSlot preloadTable[ZelPreloadSlots] = {};
ZelSetPaletteFn driverSetPalette = nullptr;
ZelShakeFn driverShake = nullptr;
unsigned screenCapacity = 0;

namespace {

ZelDeviceRect deviceRect;
// The module file name being linked, for the error text.
char linkingName[ZelDriverNameSize] = "";

// What a driver without an optional service gets instead.
void noPalette(unsigned short, unsigned short, unsigned char*) {}
signed char noWinEvent(unsigned int, unsigned int, unsigned short, unsigned int) { return 0; }
void noLowerBar() {}

void say(const char* text)
{
    std::cout << text << std::flush;
}

void sayNamed(const char* before, const char* name, const char* after)
{
    std::cout << before << name << after << std::flush;
}

template <class Fn> Fn service(const char* name)
{
    return reinterpret_cast<Fn>(GetProcAddress(driverModule, name));
}

const char* driverName()
{
    return linkingName[0] ? linkingName : "the graphics driver";
}

template <class Fn> Fn requiredService(const char* name, const char* missingMessage)
{
    Fn fn = service<Fn>(name);
    if (!fn) {
        say(missingMessage);
        zelSetError("%s lacks the required service %s()", driverName(), name);
    }
    return fn;
}

// The driver's own account of why it will not start, when it gives one.
void recordModeRefused()
{
    const auto lastError = service<ZelLastErrorFn>("lastError");
    const char* why = lastError ? lastError() : nullptr;
    if (why && *why)
        zelSetError("%s", why);
    else
        zelSetError("%s could not set its video mode", driverName());
}

template <class Fn> Fn optionalService(const char* name, Fn fallback)
{
    Fn fn = service<Fn>(name);
    return fn ? fn : fallback;
}

void pushFullScreenRegion(int width, int height)
{
    ZelBitmap::pushClipRgn(ZelBitmap::Screen, ZelClipRgn{0, 0, width, height, 0, 0, {}});
}

// Makes the Screen bitmap scrWidth x scrHeight. Its block only grows: a
// screen that fits in the current block reuses it, pointers and all. When no
// block of the size can be had, the old block stays, with its own size and
// region, but is no buffer for this screen: videoMemory is null and the link
// fails. The capacity is set to the need either way, so a block is reused
// only when it really holds the screen.
bool holdsPixels(const ZelBitmap* screen, int64_t need)
{
    return screen && screenCapacity >= need &&
           uint64_t{ZelMem::GetPtrSize(screen)} >= sizeof(Bitmap) + static_cast<uint64_t>(need);
}

void buildScreen(int64_t need)
{
    ZelBitmap* screen = ZelBitmap::Screen.get();
    if (holdsPixels(screen, need)) {
        ZelBitmap::popClipRgn(ZelBitmap::Screen);
        screen->width = scrWidth;
        screen->height = scrHeight;
        screen->originX = 0;
        screen->originY = 0;
        screen->setWidthShift(scrWidth);
        pushFullScreenRegion(scrWidth, scrHeight);
        videoMemory = screen->pixels();
        return;
    }
    if (screen)
        ZelBitmap::popClipRgn(ZelBitmap::Screen);
    const HClass<ZelBitmap> made = ZelBitmap::Create(scrWidth, scrHeight, ZelBitmap::Screen);
    if (!made.isNull())
        ZelBitmap::Screen = made;
    if (ZelBitmap::Screen.isValid()) {
        ZelMem::ClrMovable(ZelBitmap::Screen);
        if (const ZelBitmap* kept = ZelBitmap::Screen.get())
            pushFullScreenRegion(kept->width, kept->height);
    }
    screen = ZelBitmap::Screen.get();
    videoMemory = !made.isNull() && screen ? screen->pixels() : nullptr;
    screenCapacity = static_cast<unsigned>(std::clamp<int64_t>(need, 0, UINT32_MAX));
}

// Reads the screen size from the driver and builds the Screen for it.
void hookScreen(ZelHookDeviceFn hookDevice)
{
    deviceRect = ZelDeviceRect{0, 0, 0, 0, 0, 0, ZelHandle::Null};
    hookDevice(&deviceRect, &videoMemory);
    scrWidth = deviceRect.right;
    scrHeight = deviceRect.bottom;
    buildScreen(static_cast<int64_t>(scrWidth) * scrHeight);
}

void linkServices()
{
    refresh = requiredService<ZelRefreshFn>("refresh",
        "Could not link a required graphics service: 'refresh()'.\n");
    setVideoMode = requiredService<ZelModeFn>("setVideoMode",
        "Could not link a required graphics service: 'setVideoMode()'.\n");
    setTextMode = requiredService<ZelModeFn>("setTextMode",
        "Could not link a required graphics service: 'setTextMode()'.\n");
    driverSetPalette = optionalService<ZelSetPaletteFn>("setPalette", noPalette);
    ZelVideoWinEvent = optionalService<ZelWinEventFn>("winEvent", noWinEvent);
    enableLowerBar = optionalService<ZelLowerBarFn>("enableLowerBar", noLowerBar);
    disableLowerBar = optionalService<ZelLowerBarFn>("disableLowerBar", noLowerBar);
    driverShake = service<ZelShakeFn>("shake");
    setPalette = paletteRelay;
}

}  // namespace

bool isPreloaded(HMODULE module)
{
    for (const ZelPreloadSlot& slot : preloadTable)
        if (slot.name && slot.module == module)
            return true;
    return false;
}

signed char preloadGraphicsDriver(const char* name)
{
    char file[ZelDriverNameSize];
    ZelSystem::AsDeviceName(file, name);
    HMODULE module = LoadLibraryA(file);
    if (module < ModuleLoadFailed) {
        sayNamed("Could not find graphics driver: '", file, "'\n");
        return 0;
    }
    bool slotFree = false;
    for (ZelPreloadSlot& slot : preloadTable) {
        if (slot.name)
            continue;
        slotFree = true;
        size_t length = std::strlen(file);
        char* copy = static_cast<char*>(ZelMEMTmp::Malloc(static_cast<unsigned>(length + 1)));
        if (!copy)
            break;  // no memory for the name: the driver cannot be kept
        ZelMem::SetPtrData(copy, "string");
        std::memcpy(copy, file, length + 1);
        slot = {copy, module};
        return -1;
    }
    sayNamed("Could not add graphics driver: '", file, "'\n");
    if (slotFree)
        zelSetError("cannot preload %s: no memory for its name", file);
    else
        zelSetError("cannot preload %s: all %d preload slots are in use", file, ZelPreloadSlots);
    FreeLibrary(module);
    return 0;
}

// Explains why a driver could not be loaded: a module file found along PATH
// that still failed to load is reported differently from a missing one.
static void reportUnloadableDriver(const char* file)
{
    char saved[ZelSystem::AppendPathSize];
    std::memcpy(saved, ZelSystem::AppendPath, sizeof saved);
    const char* path = std::getenv("PATH");
    std::strncpy(ZelSystem::AppendPath, path ? path : "", sizeof ZelSystem::AppendPath - 1);
    ZelSystem::AppendPath[sizeof ZelSystem::AppendPath - 1] = '\0';

    ZelDiskFile probe;
    if (probe.open(file, 1)) {
        probe.close();
        sayNamed("Not enough memory to load graphics driver (", file, ").\n");
    } else {
        sayNamed("Cannot find graphics driver: '", file, "'\n");
    }
    std::memcpy(ZelSystem::AppendPath, saved, sizeof saved);
}

signed char setGraphicsDriver(const char* name)
{
    char file[ZelDriverNameSize];
    ZelSystem::AsDeviceName(file, name);
    driverModule = 0;
    for (const ZelPreloadSlot& slot : preloadTable) {
        if (slot.name && std::strcmp(slot.name, file) == 0) {
            driverModule = slot.module;
            break;
        }
    }
    if (driverModule < ModuleLoadFailed)
        driverModule = LoadLibraryA(file);
    if (driverModule >= ModuleLoadFailed) {
        std::snprintf(linkingName, sizeof linkingName, "%s", file);
        const signed char linked = linkGraphicsDriver();
        linkingName[0] = '\0';
        return linked;
    }
    reportUnloadableDriver(file);
    return 0;
}

signed char linkGraphicsDriver()
{
    if (auto hookDevice = service<ZelHookDeviceFn>("hookDevice")) {
        hookScreen(hookDevice);
        linkServices();
        if (refresh && setVideoMode && setTextMode && videoMemory) {
            if (setVideoMode(reinterpret_cast<uintptr_t>(&ZelVideo::Settings)))
                return -1;
            say("Unable to initialize the correct video mode.");
            recordModeRefused();
        } else {
            say("Graphic Driver initialization failed.\n");
            std::cout << "Video Mem: " << static_cast<void*>(videoMemory) << "\n" << std::flush;
            if (!videoMemory)
                zelSetError("no screen buffer of %d x %d pixels for %s", scrWidth, scrHeight, driverName());
        }
    } else {
        say("Could not load HookFunction.\n");
        zelSetError("%s lacks the required service hookDevice()", driverName());
    }
    unloadDriver();
    return 0;
}

void unloadDriver()
{
    if (!isPreloaded(driverModule))
        FreeLibrary(driverModule);
    driverModule = 0;
    refresh = nullptr;
    setVideoMode = nullptr;
    setTextMode = nullptr;
    driverSetPalette = nullptr;
    ZelVideoWinEvent = nullptr;
    enableLowerBar = nullptr;
    disableLowerBar = nullptr;
    driverShake = nullptr;
}

void dropCurrentDriver()
{
    if (driverModule == 0)
        return;
    ZelBitmap::popClipRgn(ZelBitmap::Screen);
    unloadDriver();
}

signed char switchGraphicsDriver(const char* name)
{
    dropCurrentDriver();
    setGraphicsDriver(name);
    return driverModule != 0 ? 1 : 0;
}

void releasePreloadTable()
{
    for (ZelPreloadSlot& slot : preloadTable) {
        if (!slot.name)
            continue;
        if (slot.module == driverModule)
            slot.module = 0;  // the current driver is unloaded with the display
        else
            FreeLibrary(slot.module);
        ZelMEMTmp::Free(slot.name);
        slot = {};
    }
}
