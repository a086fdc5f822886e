// The bitmap and clip region that every screen primitive draws through,
// resolved afresh at each call because blocks may have moved in between.
#pragma once

#include "bitmap/bitmap.h"

struct DrawTarget {
    Bitmap* bitmap = nullptr;
    std::optional<ZelClipRgn> rgn;  // cut to the bitmap's pixels

    explicit operator bool() const { return rgn.has_value(); }

    // The Screen bitmap and the region on top of its stack; empty when either
    // is missing (before video start-up or after a failed region push).
    static DrawTarget screen()
    {
        DrawTarget t;
        t.bitmap = ZelBitmap::Screen.get();
        if (t.bitmap)
            t.rgn = t.bitmap->drawingRgn();
        return t;
    }
};
