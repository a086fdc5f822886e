// zelgfx: the 8-bit palettised software renderer of the zel engine.
// Including this header declares every exported function, class and variable
// of the library and of the engine libraries it builds on.
#pragma once

#include "zelgfx/version.h"

#include "engine/zelmath/zelmath.h"
#include "engine/zelmem/zelmem.h"
#include "engine/zelufs/zelufs.h"

#include "video/file.h"
#include "video/handles.h"
#include "video/driver.h"
#include "video/last_error.h"
#include "video/palette.h"
#include "video/screen.h"
#include "video/video.h"

#include "platform/platform.h"

#include "draw/cliprgn.h"
#include "draw/draw.h"
#include "draw/poly.h"
#include "draw/smart_line.h"

#include "bitmap/bitmap.h"
#include "bitmap/blit.h"

#include "blit/rotate.h"
#include "blit/scale.h"
#include "blit/textured_fill.h"
#include "blit/zoom.h"

#include "font/font.h"

#include "shade/shade.h"
