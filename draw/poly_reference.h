// The plain pixel-by-pixel Gouraud fills. The library's fills produce the
// same pixels a run of equal colour at a time; tests hold them to these.
#pragma once

#include "video/zelapi.h"

ZELGFX_API void fillPolyGouraudReference();
ZELGFX_API void fillPolyGouraudEnhReference();
