// A rubber-band line: drawn like putLine, remembering every pixel it covers
// so that erase() brings the picture back exactly.
#pragma once

#include <iosfwd>

#include "draw/cliprgn.h"
#include "video/handles.h"
#include "video/zelapi.h"

class ZELGFX_API ZelSmartLine {
public:
    HSimple<unsigned char> buffer;  // covered pixels in drawing order
    ZelVector2 from;
    ZelVector2 to;
    signed char drawn;              // -1 while the line is on the Screen

    void draw(int x1, int y1, int x2, int y2, unsigned char colour);
    void erase();
    void free();
    void printOn(std::ostream& os) const;

private:
    // Bytes a draw needs: the unclipped pixel count, capped at the screen width.
    int need() const;
};
