// zelufs: opens data files below the configured root or the standard data
// directories.
#include "engine/zelufs/zelufs.h"

#include <sys/stat.h>

#include <new>
#include <string_view>

#include "engine/zelmem/zelmem.h"

HClass<ZelUFSLib> ZelUFSLib::Lib;

namespace {

// The one file-system object, registered in the handle table at load time.
ZelUFSLib instance;

struct Registration {
    Registration() { ZelUFSLib::Lib.adopt(&instance); }
} registration;

// Appends part to path with exactly one '/' between them.
void appendComponent(std::string& path, std::string_view part)
{
    if (part.empty())
        return;
    bool pathSlash = !path.empty() && path.back() == '/';
    bool partSlash = part.front() == '/';
    if (pathSlash && partSlash)
        part.remove_prefix(1);
    else if (!pathSlash && !partSlash && !path.empty())
        path += '/';
    path += part;
}

// The file system's own file: a disk file whose stream ends with the object,
// because users destroy a file they got from the file system without closing
// it first.
class ZelUFSFile final : public ZelDiskFile {
public:
    ~ZelUFSFile() override { close(); }

    static HClass<ZelFile> create()
    {
        HClass<ZelFile> handle;
        ZelUFSFile* file = new (std::nothrow) ZelUFSFile;
        if (!file)
            return handle;
        ZelMem::SetPtrData(file, "ZelUFSFile");
        handle.adopt(file);
        if (handle.isNull())
            delete file;
        return handle;
    }
};

bool isRegularFile(const std::string& path)
{
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::vector<std::string> ZelUFSLib::roots()
{
    char root[ZelSystem::FoundPathSize] = "";
    ZelSystem::GetRegistryString("ufsroot", nullptr, root, sizeof root);
    if (root[0])
        return {root};
    return {".", ZELUFS_INSTALL_DATADIR, ZELUFS_BUILD_DATADIR};
}

HClass<ZelFile> ZelUFSLib::openBin(const char* name, const char* dir, signed char /*flag*/)
{
    if (!name)
        return {};
    for (const std::string& root : roots()) {
        std::string path = root;
        if (dir)
            appendComponent(path, dir);
        appendComponent(path, name);
        if (!isRegularFile(path)) {
            path = ZelSystem::MatchPathNoCase(path);
            if (!isRegularFile(path))
                continue;
        }
        HClass<ZelFile> file = ZelUFSFile::create();
        if (file.isNull())
            return file;  // out of memory: no other root would do better
        if (file->open(path.c_str(), 1))
            return file;
        file.destroy();
    }
    return {};
}
