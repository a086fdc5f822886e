// The program's own header of a name the library also uses: the library's
// headers must never include it.
#error "a library header included the program's video/handles.h"
