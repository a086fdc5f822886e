// zelufs: the engine's file system. Opens files by name and directory below a
// data root and hands them out as ZelFile objects in handles.
#pragma once

#include <string>
#include <vector>

#include "engine/zelufs/zelufs_api.h"
#include "video/file.h"
#include "video/handles.h"


class ZELUFS_API ZelUFSLib {
public:
    // The file system object; registered when the library loads.
    static HClass<ZelUFSLib> Lib;

    // Opens <root><dir>/<name> for reading. The root is the configured value
    // "ufsroot"; when none is configured, the current directory and then the
    // installed data directory are tried. Path components are matched without
    // regard to case when the exact name is missing. Returns an open
    // disk file on the temporary heap, or the null handle; destroying the
    // handle closes the file. flag is unused.
    HClass<ZelFile> openBin(const char* name, const char* dir, signed char flag);

    // The roots openBin tries, in order.
    static std::vector<std::string> roots();
};
