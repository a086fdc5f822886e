// The text of the last failure, one per thread.

#include "video/last_error.h"

#include <cstdarg>
#include <cstdio>
#include <string>

#include "engine/zelufs/zelufs.h"

namespace {

constexpr size_t TextSize = 512;
thread_local char lastError[TextSize] = "";

}  // namespace

const char* zelGetError()
{
    return lastError;
}

void zelClearError()
{
    lastError[0] = '\0';
}

// Formatted into a buffer of its own first: the arguments may be the last
// text itself. A null format records an empty text.
void zelSetError(const char* format, ...)
{
    char text[TextSize] = "";
    if (format) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(text, sizeof text, format, args);
        va_end(args);
    }
    std::snprintf(lastError, sizeof lastError, "%s", text);
}

void zelSetMissingFileError(const char* kind, const char* name, const char* dir, bool triedDisk)
{
    std::string roots;
    for (const std::string& root : ZelUFSLib::roots())
        roots += (roots.empty() ? "" : ", ") + root;
    zelSetError("cannot find the %s '%s' in %s below the data roots %s%s", kind, name ? name : "(null)",
                dir ? dir : "", roots.c_str(), triedDisk ? ", nor on the disk" : "");
}
