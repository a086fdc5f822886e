// Solid runs and lines on the Screen and on any bitmap.

#include "draw/draw.h"
#include "draw/pixel_ops.h"
#include "draw/target.h"
#include "draw/walk.h"
#include "video/screen.h"

void vRun(ZelVector2 start, int length, unsigned char colour, Bitmap& bitmap)
{
    SolidOp op{colour};
    if (const auto r = bitmap.drawingRgn())
        walk::vRun(bitmap, *r, start, length, op);
}

void hRun(ZelVector2 start, int length, unsigned char colour, Bitmap& bitmap)
{
    SolidOp op{colour};
    if (const auto r = bitmap.drawingRgn())
        walk::hRun(bitmap, *r, start, length, op);
}

void putVLine(int x, int y, int length, unsigned char colour)
{
    if (DrawTarget t = DrawTarget::screen())
        vRun({x, y}, length, colour, *t.bitmap);
}

void putHLine(int x, int y, int length, unsigned char colour)
{
    if (DrawTarget t = DrawTarget::screen())
        hRun({x, y}, length, colour, *t.bitmap);
}

void putLine(int x1, int y1, int x2, int y2, unsigned char colour)
{
    SolidOp op{colour};
    if (DrawTarget t = DrawTarget::screen())
        walk::line(*t.bitmap, *t.rgn, {x1, y1}, {x2, y2}, op);
}

void putLineTo(int x, int y)
{
    putLine(currentXPos, currentYPos, x, y, defaultColor);
    currentXPos = x;
    currentYPos = y;
}
