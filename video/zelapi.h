// Export markers of the zelgfx shared library: everything is hidden unless
// marked here.
#pragma once

#define ZELGFX_API __attribute__((visibility("default")))
