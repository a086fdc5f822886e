// zelufs: opens data files below the configured root, the current directory
// or the standard data directory beside the library.
#include "engine/zelufs/zelufs.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
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

// True when the components of path, taken in order, never climb above
// where they start: "a/../b" stays, "../b" and "a/../../b" leave.
bool staysBelow(std::string_view path)
{
    int depth = 0;
    while (!path.empty()) {
        const size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (part == "..")
            --depth;
        else if (!part.empty() && part != ".")
            ++depth;
        if (depth < 0)
            return false;
    }
    return true;
}

// The standard data directory, found from where this library was loaded:
// share/zelgfx beside its lib/, in an install tree as in the build tree
// (which is laid out the same way). Worked out as the library loads, before
// a program can change the current directory.
std::string findStandardDataDir()
{
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&findStandardDataDir), &info) || !info.dli_fname)
        return {};
    char* resolved = realpath(info.dli_fname, nullptr);
    if (!resolved)
        return {};
    const std::filesystem::path library = resolved;
    std::free(resolved);
    return (library.parent_path() / ZELUFS_DATADIR_FROM_LIBDIR).lexically_normal().string();
}

const std::string standardDataDir = findStandardDataDir();

}  // namespace

std::vector<std::string> ZelUFSLib::roots()
{
    char root[ZelSystem::FoundPathSize] = "";
    ZelSystem::GetRegistryString("ufsroot", nullptr, root, sizeof root);
    if (root[0])
        return {root};
    if (standardDataDir.empty())
        return {"."};
    return {".", standardDataDir};
}

HClass<ZelFile> ZelUFSLib::openBin(const char* name, const char* dir, signed char /*flag*/)
{
    if (!name)
        return {};
    // Files are opened below the root only: a dir or name that climbs out of
    // it is refused.
    std::string below;
    if (dir)
        appendComponent(below, dir);
    appendComponent(below, name);
    if (!staysBelow(below))
        return {};
    for (const std::string& root : roots()) {
        std::string path = root;
        appendComponent(path, below);
        path = ZelSystem::FindRegularFile(path);
        if (path.empty())
            continue;
        HClass<ZelFile> file = ZelUFSFile::create();
        if (file.isNull())
            return file;  // out of memory: no other root would do better
        if (file->open(path.c_str(), 1))
            return file;
        file.destroy();
    }
    return {};
}
