// The last failure as text, for programs to show: whenever a call of the
// library fails (a driver that cannot be found, loaded or started, a missing
// or short palette, shade table or font file, a bitmap that cannot be found
// or read) it records why here, beside whatever it prints. The text stays
// until the next failure replaces it or zelClearError() empties it; a call
// that succeeds leaves it alone, so read it right after a call reports
// failure. Each thread has its own.
#pragma once

#include "video/zelapi.h"

// The last failure recorded on this thread, or "" when none was.
ZELGFX_API const char* zelGetError();
// Forgets the last failure.
ZELGFX_API void zelClearError();
// Records a failure of the program's own or of a driver, printf-style; texts
// longer than 511 bytes are cut.
ZELGFX_API void zelSetError(const char* format, ...) __attribute__((format(printf, 1, 2)));

#ifdef ZELGFX_BUILDING
// Records that the named file of the given kind ("palette", "font", ...) was
// found neither in dir below the file system's data roots nor, when
// triedDisk, on the disk; the roots are listed.
void zelSetMissingFileError(const char* kind, const char* name, const char* dir, bool triedDisk);
#endif
