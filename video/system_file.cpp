#include "video/system_file.h"

#include "engine/zelufs/zelufs.h"

SystemFile::SystemFile(const char* name, Fallback fallback)
{
    if (ZelUFSLib* ufs = ZelUFSLib::Lib.get())
        file_ = ufs->openBin(name, ZelSystemDir, 0);
    if (file_.resolves() || fallback == FileSystemOnly)
        return;
    file_ = ZelDiskFile::create();
    if (ZelFile* disk = file_.get(); disk && disk->open(name, 1))
        onDisk_ = true;
    else
        file_.destroy();
}

SystemFile::~SystemFile()
{
    if (onDisk_)
        if (ZelFile* disk = file_.get())
            disk->close();
    file_.destroy();
}

bool SystemFile::read(void* buffer, unsigned size, unsigned count) const
{
    ZelFile* f = file_.get();
    return f && f->read(buffer, size, count) == count;
}
