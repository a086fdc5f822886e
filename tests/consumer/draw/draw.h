// The program's own header of a name the library also uses: it must not be
// hidden by the library's draw/draw.h.
#pragma once

inline int programDrawHeader()
{
    return 7;
}
