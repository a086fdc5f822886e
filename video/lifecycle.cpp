// Start-up, change and shutdown of video: work buffers, shade tables, the
// driver, the default font, palette slot 0 and the row offset table.

#include <cstdint>
#include <cstring>

#include "bitmap/bitmap.h"
#include "draw/poly.h"
#include "engine/zelmem/zelmem.h"
#include "font/font.h"
#include "shade/shade.h"
#include "video/driver.h"
#include "video/last_error.h"
#include "video/palette.h"
#include "video/screen.h"
#include "video/system_file.h"

int* ZelVideo::lineOff = nullptr;
unsigned char* ZelVideo::maxVideoMemory = nullptr;
signed char ZelVideo::graphOn = 0;
VideoSettings ZelVideo::Settings = {};

namespace {

constexpr int NameSize = 80;

// (const char*)-1 asks change() to keep that part as it is.
bool keepsCurrent(const char* name)
{
    return reinterpret_cast<uintptr_t>(name) == UINTPTR_MAX;
}

const char* configured(const char* given, const char* key, const char* fallback, char* buffer)
{
    return given ? given : ZelSystem::GetRegistryString(key, fallback, buffer, NameSize);
}

void allocLabelled(ZelHandle& handle, unsigned bytes, const char* label)
{
    handle.alloc(bytes);
    ZelMem::SetPtrData(handle.getRaw(), label);
}

void* tmpLabelled(unsigned bytes, const char* label)
{
    void* block = ZelMEMTmp::Malloc(bytes);
    ZelMem::SetPtrData(block, label);
    return block;
}

signed char loadDefaultFont(const char* name)
{
    SystemFile file(name, SystemFile::FileSystemOnly);
    if (!file)
        zelSetMissingFileError("font", name, ZelSystemDir, false);
    return ZelFont::load(file.handle()) == -1 ? 0 : -1;
}

void selectFirstFont()
{
    const auto* slots = ZelFont::fonts.get();
    ZelFont::currentFont = slots ? slots[0].handle : HClass<Fonts>();
}

// The palette into slot 0 and its shade tables. A palette named by the
// caller only needs the palette file; the configured one needs both.
signed char loadStartPalette(const char* palette)
{
    if (palette) {
        if (!ZelVideo::loadPalette(palette, 0))
            return 0;
        ZelVideo::loadPaletteShades(palette);
        return -1;
    }
    char name[NameSize];
    ZelSystem::GetRegistryString("palette", "standard.pal", name, NameSize);
    return ZelVideo::loadPalette(name, 0) && ZelVideo::loadPaletteShades(name) ? -1 : 0;
}

void sendStartPalette()
{
    if (setPalette)
        setPalette(0, ZelPaletteEntries, palettes[0]);
}

// lineOff[y] = y * scrWidth for y = 0 .. scrHeight, in a block that is grown
// or shrunk in place. Without memory for it there is no table at all (the
// old one is freed): drawing, which needs the table, then draws nothing
// rather than reading past a table of another size.
void buildLineOffsets()
{
    const int rows = scrHeight > 0 ? scrHeight : 0;
    void* block = ZelMEMTmp::Realloc(ZelVideo::lineOff, static_cast<unsigned>(rows + 1) * sizeof(int));
    if (!block) {
        ZelMEMTmp::Free(ZelVideo::lineOff);
        zelSetError("no memory for the row table of a screen %d rows high", rows);
    }
    ZelVideo::lineOff = static_cast<int*>(block);
    ZelVideo::maxVideoMemory = videoMemory + static_cast<ptrdiff_t>(scrWidth) * scrHeight - 1;
    if (!block)
        return;
    ZelMem::SetPtrData(block, "lineOff");
    for (int y = 0; y <= rows; ++y)
        ZelVideo::lineOff[y] = y * scrWidth;
}

void releaseScreen()
{
    if (ZelBitmap* screen = ZelBitmap::Screen.get()) {
        ZelBitmap::popClipRgn(ZelBitmap::Screen);
        screen->releaseAttachment();  // regions a caller left pushed
    }
    ZelBitmap::Screen.release();
}

template <class T> void freeVolatile(T*& block)
{
    void* raw = block;
    ZelMEMTmp::FreeVolatile(raw);
    block = static_cast<T*>(raw);
}

// Unloading the library while video is on returns the display to text mode,
// when a driver is still there to do it.
struct TextModeOnUnload {
    ~TextModeOnUnload()
    {
        if (ZelVideo::graphOn && setTextMode)
            setTextMode(0);
    }
} textModeOnUnload;

}  // namespace

signed char initGraphicsData()
{
    allocLabelled(polyBuffer, ZelPolyBufferBytes, "polyBuffer");
    allocLabelled(gouraudBuffer, ZelPolyBufferBytes, "gouraudBuffer");
    screenCapacity = 0;
    videoMemory = nullptr;
    if (ZelBitmap* screen = ZelBitmap::Screen.get())
        screen->releaseAttachment();
    ZelBitmap::Screen.release();
    return -1;
}

signed char ZelVideo::init(const char* driver, const char* palette, const char* font)
{
    // A second init without deinit replaces the driver instead of leaving it loaded.
    dropCurrentDriver();
    initGraphicsData();
    initStat();
    // A second init without deinit replaces the tables instead of leaking them.
    ZelMEMTmp::Free(shadeDark);
    ZelMEMTmp::Free(shadeLight);
    shadeDark = static_cast<unsigned char*>(tmpLabelled(ZelShadeTableBytes, "shadeDark"));
    shadeLight = static_cast<unsigned char*>(tmpLabelled(ZelShadeTableBytes, "shadeLight"));

    char name[NameSize];
    if (!setGraphicsDriver(configured(driver, "graphics", "mcga.drv", name)))
        return 0;
    if (!loadDefaultFont(configured(font, "font", "standard.fnt", name)))
        return 0;
    selectFirstFont();
    if (!loadStartPalette(palette))
        return 0;
    sendStartPalette();

    clrScreen(1);
    if (refresh)
        refresh();
    buildLineOffsets();
    graphOn = -1;
    return -1;
}

signed char ZelVideo::change(const char* driver, const char* palette, const char* font)
{
    char name[NameSize];
    if (!keepsCurrent(driver)) {
        dropCurrentDriver();
        setGraphicsDriver(configured(driver, "graphics", "mcga.drv", name));
        if (driverModule == 0)
            return 0;
    }
    if (!keepsCurrent(font) && !loadDefaultFont(configured(font, "font", "standard.fnt", name)))
        return 0;
    selectFirstFont();
    if (!keepsCurrent(palette) && !loadStartPalette(palette))
        return 0;
    sendStartPalette();
    buildLineOffsets();
    return -1;
}

signed char ZelVideo::preload(const char* name)
{
    char file[NameSize];
    if (name) {
        std::strncpy(file, name, NameSize - 1);
        file[NameSize - 1] = '\0';
    } else {
        ZelSystem::GetRegistryString("graphics", "MCGA.DRV", file, NameSize);
    }
    return preloadGraphicsDriver(file);
}

void deinitGraphics()
{
    releasePreloadTable();
    if (setTextMode)
        setTextMode(0);
    dropCurrentDriver();
    // A Screen that a failed link left without a buffer is released too.
    releaseScreen();
    videoMemory = nullptr;
    screenCapacity = 0;
    if (polyBuffer.resolves())
        polyBuffer.release();
    if (gouraudBuffer.resolves())
        gouraudBuffer.release();
}

void ZelVideo::deinit()
{
    if (graphOn) {
        ZelFont::unloadAll();
        freeVolatile(shadeDark);
        freeVolatile(shadeLight);
        freeVolatile(lineOff);
        deinitGraphics();
    }
    graphOn = 0;
}
