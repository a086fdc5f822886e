// The font table: loaded bitmap fonts in numbered slots, and the font that
// text output uses.
#pragma once

#include <cstdint>

#include "bitmap/bitmap.h"
#include "video/file.h"
#include "video/handles.h"
#include "video/zelapi.h"

// A font: glyph bitmaps and the map from character codes to them.
struct Fonts {
    uint32_t count;                          // glyphs read from the file
    unsigned char charMap[256];              // 0: no glyph; g: glyph in slot g - 1
    HandleSlot<HClass<Bitmap>> glyphs[256];  // 65535 where a glyph failed to load
};
static_assert(sizeof(Fonts) == 4 + 256 + 256 * 4);

class ZELGFX_API ZelFont {
public:
    static HSimple<HandleSlot<HClass<Fonts>>> fonts;  // nFonts slots, free ones hold 65535
    static int nFonts;
    static HClass<Fonts> currentFont;

    static int findFree();
    // Loads a font into a free slot and returns the slot; -1 when the file
    // handle does not resolve. The file stays open.
    static int load(HClass<ZelFile> file);
    static int load(const char* name, const char* dir);
    static void unload(int font);
    static void unloadAll();
    static void setFont(int font);
    static int getFont();
};
