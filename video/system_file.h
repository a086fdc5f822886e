// The files the video core reads by name (palettes, shade tables, the default
// font): asked of the file system in its system directory, and for palettes
// and shade tables also on the disk. The file ends with the object: a disk
// file is closed, and the handle destroyed in either case.
#pragma once

#include "video/file.h"
#include "video/handles.h"

constexpr const char* ZelSystemDir = "/CDDATA/SYSTEM";

class SystemFile {
public:
    enum Fallback { FileSystemOnly, OrDisk };

    SystemFile(const char* name, Fallback fallback);
    ~SystemFile();
    SystemFile(const SystemFile&) = delete;
    SystemFile& operator=(const SystemFile&) = delete;

    explicit operator bool() const { return file_.resolves(); }
    HClass<ZelFile> handle() const { return file_; }
    // True when exactly count items of size bytes were read.
    bool read(void* buffer, unsigned size, unsigned count) const;

private:
    HClass<ZelFile> file_;
    bool onDisk_ = false;
};
