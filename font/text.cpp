// Text output and measurement with the current font: drawing, formatted
// output with alignment, shadow and boxes, width and height, and cutting text
// into lines that fit a width.
//
// Cases without an obvious answer:
// - Without a current font that resolves (65535, or a handle without a
//   block), every character advances as one without a glyph (tab 9, others
//   3) and nothing is drawn, as with a font file that holds no glyphs.
// - A charMap entry naming a glyph slot without a bitmap (65535, a glyph that
//   failed to load or lies beyond the font's count) makes the character one
//   without a glyph: it advances by 9 (tab) or 3 and draws nothing.
// - The newline never has a glyph: it ends the line whatever charMap says.
// - A null text draws nothing (putFormatEx not even its boxes), measures 0
//   wide and 0 high and has no visible characters.
// - A font argument of putFormatEx outside the table (other than -1) keeps
//   the current font, as setFont ignores such an index. A free slot inside
//   the table is used as it is: the text then draws no glyphs.
// - Widths are summed without overflow; getWidth answers at most INT32_MAX.
//   Pen positions wrap as 32-bit values.
// - Without a Screen bitmap nothing is drawn, boxes included.

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>

#include "bitmap/blit.h"
#include "bitmap/blit_frame.h"
#include "draw/draw.h"
#include "draw/target.h"
#include "font/font.h"
#include "video/wrapint.h"

namespace {

constexpr unsigned char Tab = 9;
constexpr unsigned char Newline = 10;
constexpr unsigned char Space = 32;
constexpr int32_t TabAdvance = 9;
constexpr int32_t NoGlyphAdvance = 3;

// Format bits.
constexpr unsigned char AlignMask = 3;
constexpr unsigned char AlignCentre = 1;
constexpr unsigned char AlignRight = 2;
constexpr unsigned char Frame = 4;
constexpr unsigned char Background = 8;
constexpr unsigned char Tight = 16;
constexpr unsigned char ShadowRightDown = 32;
constexpr unsigned char ShadowLeftUp = 64;
constexpr unsigned char ShadowMask = ShadowRightDown | ShadowLeftUp;
constexpr unsigned char BackgroundColour = 1;

// What a character other than the newline does on its line: how far it moves
// the pen, and the glyph drawn there (null when none). The one advance rule
// of drawing and of every measurement.
struct Step {
    int32_t advance;
    const Bitmap* glyph;  // valid until the next allocation
};

// The font is looked up afresh for every character: blocks may move between
// calls, and a pointer is never held across one.
Step step(unsigned char c)
{
    if (const Fonts* font = ZelFont::currentFont.get()) {
        if (const unsigned g = font->charMap[c]) {
            if (const Bitmap* b = font->glyphs[g - 1].handle.get())
                return {b->width, b};
        }
    }
    return {c == Tab ? TabAdvance : NoGlyphAdvance, nullptr};
}

const unsigned char* bytes(const char* text)
{
    return reinterpret_cast<const unsigned char*>(text);
}

// Where the first line of a text stops: at its end (the terminating null or
// a newline), or at the first character that pushes the width past maxWidth.
struct LineScan {
    ptrdiff_t stop;       // index of that character
    bool overflows;       // stopped because the width ran out
    ptrdiff_t lastSpace;  // last space before or at stop; 0 when none
};

LineScan scanLine(const unsigned char* text, int maxWidth)
{
    int64_t width = 0;  // stops before it can exceed twice INT32_MAX
    ptrdiff_t lastSpace = 0;
    for (ptrdiff_t i = 0;; ++i) {
        const unsigned char c = text[i];
        if (c == 0 || c == Newline)
            return {i, false, lastSpace};
        if (c == Space)
            lastSpace = i;
        width += step(c).advance;
        if (width > maxWidth)
            return {i, true, lastSpace};
    }
}

// The end of a line that fits: the text ends there (null), or the next line
// starts after the newline.
const char* lineEnd(const char* text, const LineScan& line, int& count)
{
    count = static_cast<int>(line.stop);
    return text[line.stop] ? text + line.stop + 1 : nullptr;
}

// The text's top-left corner and size as the format bits place and size it.
struct Layout {
    int32_t x, y, width, height;
};

Layout layout(int x, int y, const char* text, unsigned char format)
{
    int32_t w = ZelFont::getWidth(text);
    int32_t h = ZelFont::getHeight(text);
    if (format & ShadowMask) {
        w = wrapAdd(w, 1);
        h = wrapAdd(h, 1);
    }
    if (format & Tight)
        h = wrapSub(h, 2);
    switch (format & AlignMask) {
    case AlignCentre:
        return {wrapSub(x, wrapSub(w, 1) >> 1), wrapSub(y, h >> 1), w, h};
    case AlignRight:
        return {wrapAdd(wrapSub(x, w), 1), y, w, h};
    default:
        return {x, y, w, h};
    }
}

// Background, frame, shadow, then the text, each over what came before.
void putFormatted(int x, int y, const char* text, unsigned char format, unsigned char colour,
                  unsigned char shadow)
{
    const Layout at = layout(x, y, text, format);
    const ZelVector2 boxPos(wrapSub(at.x, 2), wrapSub(at.y, 2));
    const ZelVector2 boxSize(wrapAdd(at.width, 3), wrapAdd(at.height, 4));
    if (Bitmap* screen = ZelBitmap::Screen.get()) {
        if (format & Background)
            fillRect(boxPos, boxSize, BackgroundColour, *screen);
        if (format & Frame)
            frameRect(boxPos, boxSize, colour, *screen);
    }
    if ((format & ShadowMask) == ShadowRightDown)
        ZelFont::put(wrapAdd(at.x, 1), wrapAdd(at.y, 1), text, shadow);
    else if ((format & ShadowMask) == ShadowLeftUp)
        ZelFont::put(wrapSub(at.x, 1), wrapSub(at.y, 1), text, shadow);
    ZelFont::put(at.x, at.y, text, colour);
}

}  // namespace

void ZelFont::put(int x, int y, const char* text, unsigned char colour)
{
    if (!text)
        return;
    const int32_t lineHeight = wrapAdd(getHeight(text), 1);
    // Drawing a glyph allocates nothing, so the screen and its region stay
    // where they are for the whole text.
    const DrawTarget target = DrawTarget::screen();
    int32_t penX = x;
    int32_t penY = y;
    for (const unsigned char* p = bytes(text); *p; ++p) {
        if (*p == Newline) {
            penX = x;
            penY = wrapAdd(penY, lineHeight);
            continue;
        }
        const Step s = step(*p);
        if (s.glyph)
            putGlyph(target, penX, penY, *s.glyph, colour);
        penX = wrapAdd(penX, s.advance);
    }
}

void ZelFont::putFormat(int x, int y, const char* text, unsigned char format, unsigned char colour)
{
    putFormatEx(x, y, text, format, colour, 1, -1);
}

void ZelFont::putFormatEx(int x, int y, const char* text, unsigned char format, unsigned char colour,
                          unsigned char shadow, int font)
{
    if (!text)
        return;
    const HClass<Fonts> remembered = currentFont;
    if (font >= 0 && font < nFonts && fonts.resolves())
        currentFont = fonts[font].handle;
    putFormatted(x, y, text, format, colour, shadow);
    currentFont = remembered;
}

int ZelFont::getWidth(const char* text)
{
    if (!text)
        return 0;
    int64_t line = 0;
    int64_t widest = 0;
    for (const unsigned char* p = bytes(text); *p; ++p) {
        if (*p == Newline) {
            line = 0;
            continue;
        }
        line = std::min<int64_t>(line + step(*p).advance, INT32_MAX);
        widest = std::max(widest, line);
    }
    return static_cast<int>(widest);
}

int ZelFont::getHeight(const char* text)
{
    if (!text)
        return 0;
    // Every character with a glyph counts, a newline mapped to one too.
    int32_t tallest = 0;
    for (const unsigned char* p = bytes(text); *p; ++p)
        if (const Bitmap* glyph = step(*p).glyph)
            tallest = std::max(tallest, glyph->height);
    return tallest;
}

const char* ZelFont::countVisibleChars(const char* text, int& count, int maxWidth)
{
    count = 0;
    if (!text)
        return nullptr;
    const LineScan line = scanLine(bytes(text), maxWidth);
    if (!line.overflows)
        return lineEnd(text, line, count);
    // The character that did not fit starts the next line.
    count = static_cast<int>(line.stop);
    return text + line.stop;
}

const char* ZelFont::countVisibleWords(const char* text, int& count, int maxWidth)
{
    count = 0;
    if (!text)
        return nullptr;
    const LineScan line = scanLine(bytes(text), maxWidth);
    if (!line.overflows)
        return lineEnd(text, line, count);
    // A space that does not fit is dropped; otherwise the line ends before
    // the last space (dropped too), and a word longer than the line is cut
    // inside. A space at position 0 is no break point.
    ptrdiff_t cut = line.stop;
    ptrdiff_t next = line.stop;
    if (text[line.stop] == Space) {
        next = cut + 1;
    }
    else if (line.lastSpace != 0) {
        cut = line.lastSpace;
        next = cut + 1;
    }
    count = static_cast<int>(cut);
    return text + next;
}
