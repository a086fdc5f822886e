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

    // Text output with the current font; glyph pixel v is drawn in colour
    // colour + v - 1. A newline starts the next line at the same x.
    static void put(int x, int y, const char* text, unsigned char colour);
    static void putFormat(int x, int y, const char* text, unsigned char format, unsigned char colour);
    // format: bits 0-1 alignment (0 top-left, 1 centre, 2 right edge), 4
    // frame, 8 background, 16 tight height, 32/64 shadow right-down/left-up,
    // 96 room for a shadow without one. font: a table slot for this call, or -1.
    static void putFormatEx(int x, int y, const char* text, unsigned char format, unsigned char colour,
                            unsigned char shadow, int font);
    static int getWidth(const char* text);
    static int getHeight(const char* text);
    // Characters of the first line that fit into maxWidth (count), and where
    // the next line starts, or null when the text ends within the width.
    static const char* countVisibleChars(const char* text, int& count, int maxWidth);
    // The same, breaking at the last space that fits.
    static const char* countVisibleWords(const char* text, int& count, int maxWidth);
};
