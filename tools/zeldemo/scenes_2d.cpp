// The tour's flat scenes: a bevelled UI panel with text, lines with an XOR
// cursor and a rubber-band line, and flat and Gouraud polygons.

#include <cstring>
#include <string>
#include <vector>

#include "draw/draw.h"
#include "draw/poly.h"
#include "draw/smart_line.h"
#include "engine/zelmath/zelmath.h"
#include "font/font.h"
#include "tools/zeldemo/demo.h"
#include "video/screen.h"

namespace zeldemo {

void title(const char* text)
{
    ZelFont::putFormatEx(scrWidth / 2, 7, text, 1 | 32, SC::Yellow, SC::GreyRamp, -1);
}

int wave(int frame, int period, int amplitude)
{
    const int64_t s = iSin(static_cast<int>(static_cast<int64_t>(frame) * ZelAngleFullTurn / period));
    return static_cast<int>(s * amplitude / ZelTrigOne);
}

namespace {

// The paragraph wrapped at spaces to width, framed to the lines it takes.
void paragraph(int x, int y, int width)
{
    static const char* text =
        "zelgfx draws everything byte by byte into a buffer of palette indices. "
        "This paragraph is wrapped at spaces by countVisibleWords and drawn line by line.";
    std::vector<std::string> lines;
    for (const char* rest = text; rest;) {
        int count = 0;
        const char* next = ZelFont::countVisibleWords(rest, count, width);
        if (count == 0 && next == rest)
            break;  // not even one character fits
        lines.emplace_back(rest, static_cast<size_t>(count));
        rest = next;
    }
    const int lineHeight = ZelFont::getHeight(text) + 1;
    putRectangle(x - 2, y - 2, width + 4, static_cast<int>(lines.size()) * lineHeight + 2, SC::DarkGrey);
    for (const std::string& line : lines) {
        ZelFont::put(x, y, line.c_str(), SC::GreenRamp + 12);
        y += lineHeight;
    }
}

// The four bevelled box styles side by side, each with its number.
void boxStyles(int x, int y)
{
    for (int style = 0; style < 4; ++style) {
        putBox(x + style * 23, y, 19, 17, static_cast<unsigned char>(style));
        const char digit[2] = {static_cast<char>('0' + style), 0};
        ZelFont::putFormat(x + style * 23 + 9, y + 8, digit, 1, SC::White);
    }
    ZelFont::putFormat(x + 44, y + 26, "putBox styles", 1, SC::GreyRamp + 12);
}

// All 256 colours, and an XOR band stretched over them from a fixed corner,
// the way a selection is dragged: the colours under it show inverted.
void paletteWithBand(int frame, int x, int y)
{
    constexpr int Cell = 5;
    for (int c = 0; c < 256; ++c)
        putBar(x + (c % 16) * Cell, y + (c / 16) * Cell, Cell, Cell, static_cast<unsigned char>(c));
    putRectangle(x - 1, y - 1, 16 * Cell + 2, 16 * Cell + 2, SC::BevelDark);
    ZelFont::putFormat(x + 8 * Cell, y - 10, "palette, XOR band", 1, SC::GreyRamp + 12);
    const int anchor = 3 * Cell;
    const int reachX = 35 + wave(frame, 90, 29), reachY = 35 + wave(frame + 20, 70, 29);
    putXorRectangle(x + anchor, y + anchor, reachX, reachY, 0xff);
    putXorRectangle(x + anchor + 1, y + anchor + 1, reachX - 2, reachY - 2, 0xff);
}

}  // namespace

void drawPanel(int frame, const Assets&)
{
    clrScreen(SC::Background);
    title("Boxes and text");
    putBox(10, 16, scrWidth - 20, scrHeight - 26, 0);
    putBox(18, 24, 90, 40, 1);
    putBox(116, 24, 90, 18, (frame / 15) % 2 ? 3 : 2);
    ZelFont::putFormat(161, 33, "Press", 1 | 16, SC::GreyRamp);
    ZelFont::putFormat(63, 44, "centred", 1, SC::White);
    ZelFont::putFormatEx(200, 48, "right-aligned", 2 | 64, SC::YellowRamp + 12, SC::DarkGrey, -1);
    ZelFont::putFormat(18, 70, "framed, on a box", 4 | 8 | 32, SC::White);
    boxStyles(216, 24);
    paragraph(19, 92, 136 + wave(frame, 120, 24));
    paletteWithBand(frame, 212, 96);
}

namespace {

// The rubber band and the XOR cursor of the lines scene, moved over a picture
// drawn once: each frame takes them away exactly, then draws them anew.
ZelSmartLine band{HSimple<unsigned char>(), {0, 0}, {0, 0}, 0};
int cursorX = -1;

void xorCursor(int x)
{
    putXorRectangle(x, 60, 40, 30, 0x1f);
    putXorBar(x + 2, 62, 36, 26, 0x07);
}

void linesBackground()
{
    clrScreen(SC::Background);
    title("Lines, XOR and a rubber band");
    const int cx = scrWidth / 4, cy = scrHeight / 2 + 8;
    for (int k = 0; k < 48; ++k) {
        const int a = k * ZelAngleFullTurn / 48;
        putLine(cx, cy, cx + iCos(a) * 70 / ZelTrigOne, cy + iSin(a) * 70 / ZelTrigOne,
                static_cast<unsigned char>(SC::SkyRamp + k % 16));
    }
    defaultColor = SC::OrangeRamp + 10;
    currentXPos = scrWidth / 2;
    currentYPos = 30;
    for (int k = 1; k <= 6; ++k)
        putLineTo(scrWidth / 2 + k * 22, 30 + (k % 2) * 40);
}

}  // namespace

void drawLines(int frame, const Assets&)
{
    if (frame == 0) {
        linesBackground();
        band.drawn = 0;
        cursorX = -1;
    }
    band.erase();
    if (cursorX >= 0)
        xorCursor(cursorX);  // drawn a second time: gone
    cursorX = 40 + (frame * 3) % (scrWidth - 80);
    xorCursor(cursorX);
    band.draw(scrWidth / 2, scrHeight - 20, scrWidth - 30 + wave(frame, 80, 20), 90 + wave(frame, 60, 40), SC::White);
}

void finishLines()
{
    band.free();
}

namespace {

// A Gouraud triangle through the span buffers: top vertex t, bottom b, and a
// middle vertex m on the right, intensities in 16.16.
void gouraudTriangle(ZelVector2 t, ZelVector2 m, ZelVector2 b, int it, int im, int ib)
{
    polyStartIndex = 0;
    polyStopIndex = b.y - t.y;
    scanSideGouraud(t.x, 0, it, m.x, m.y - t.y, im, 1);
    scanSideGouraud(m.x, m.y - t.y, im, b.x, b.y - t.y, ib, 1);
    scanSideGouraud(t.x, 0, it, b.x, b.y - t.y, ib, 0);
    polyMinY = t.y;
    polyHeight = b.y - t.y;
    fillPolyGouraudEnh();
}

}  // namespace

void drawPolygons(int frame, const Assets&)
{
    clrScreen(SC::Background);
    title("Flat and Gouraud polygons");
    PolyOf<6> hexagon;
    const int cx = 80, cy = scrHeight / 2 + 10;
    for (int k = 0; k < 6; ++k) {
        const int a = k * ZelAngleFullTurn / 6 + frame * 200;  // clockwise on screen
        hexagon.vertex[k] = {cx + iCos(a) * 60 / ZelTrigOne, cy + iSin(a) * 60 / ZelTrigOne};
    }
    defaultColor = SC::TealRamp + 8;
    putPolyClockwise(hexagon.poly());

    defaultColor = SC::PurpleRamp;
    const int lift = wave(frame, 90, 20);
    gouraudTriangle({230, 30 + lift}, {300, 120}, {180, scrHeight - 12}, 15 << 16, 6 << 16, 1 << 16);
}

}  // namespace zeldemo
