// Driver modules over dlopen: the search for a module file, and a table of
// loaded modules so that a stale or foreign handle is refused instead of
// being passed to dlclose or dlsym.

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/zelmem/zelmem.h"
#include "platform/builtin_modules.h"
#include "platform/platform.h"
#include "video/last_error.h"

namespace {

// Loads counted per module, as the operating system counts them.
std::map<HMODULE, int>& loadedModules()
{
    static std::map<HMODULE, int> modules;
    return modules;
}

// The file itself, or a file whose name differs only in letter case.
std::string findInDirectory(const std::string& dir, const std::string& name)
{
    return ZelSystem::FindRegularFile((dir.empty() ? std::string(".") : dir) + "/" + name);
}

void appendList(std::vector<std::string>& dirs, const char* list)
{
    if (!list)
        return;
    std::string all(list);
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find(':', start);
        if (end == std::string::npos)
            end = all.size();
        if (end > start)
            dirs.push_back(all.substr(start, end - start));
        start = end + 1;
    }
}

std::string executableDirectory()
{
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {};
    std::string path(buffer, static_cast<size_t>(n));
    return path.substr(0, path.rfind('/'));
}

// The project's driver directory, found from where this library was loaded:
// lib/zelgfx/drivers beside it, in an install tree as in the build tree
// (which is laid out the same way). Worked out as the library loads, before
// a program can change the current directory.
std::string findOwnDriverDirectory()
{
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&findOwnDriverDirectory), &info) || !info.dli_fname)
        return {};
    char* resolved = realpath(info.dli_fname, nullptr);
    if (!resolved)
        return {};
    const std::filesystem::path library = resolved;
    std::free(resolved);
    return (library.parent_path() / ZELGFX_DRIVERDIR_FROM_LIBDIR).lexically_normal().string();
}

const std::string ownDriverDirectory = findOwnDriverDirectory();

// The directories searched for a module, in order; those of PATH last.
std::vector<std::string> searchDirectories(bool alongPath)
{
    std::vector<std::string> dirs{executableDirectory(), "."};
    appendList(dirs, std::getenv("ZEL_DRIVER_PATH"));
    if (!ownDriverDirectory.empty())
        dirs.push_back(ownDriverDirectory);
    if (alongPath)
        appendList(dirs, std::getenv("PATH"));
    return dirs;
}

std::string findModule(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return ZelSystem::FindRegularFile(name);
    for (const std::string& dir : searchDirectories(true)) {
        std::string found = findInDirectory(dir, name);
        if (!found.empty())
            return found;
    }
    return {};
}

bool isLoaded(HMODULE module)
{
    return loadedModules().count(module) != 0;
}

// Records where the module was looked for, so that a program can tell its
// user where to put it or which directory to name in ZEL_DRIVER_PATH.
void recordNotFound(const std::string& name)
{
    if (name.find('/') != std::string::npos) {
        zelSetError("cannot find the module %s", name.c_str());
        return;
    }
    std::string searched;
    for (const std::string& dir : searchDirectories(false))
        searched += (dir.empty() ? "." : dir) + ", ";
    zelSetError("cannot find the module '%s' in %sor along PATH", name.c_str(), searched.c_str());
}

}  // namespace

HMODULE LoadLibraryA(const char* name)
{
    if (!name || !*name) {
        zelSetError("no module name given");
        return 0;
    }
    if (HMODULE builtin = std::strchr(name, '/') ? 0 : loadBuiltinModule(name))
        return builtin;
    std::string path = findModule(name);
    if (path.empty()) {
        recordNotFound(name);
        return 0;
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        zelSetError("cannot load the module %s: %s", path.c_str(), why ? why : "unknown error");
        return 0;
    }
    HMODULE module = reinterpret_cast<HMODULE>(handle);
    ++loadedModules()[module];
    return module;
}

void* GetProcAddress(HMODULE module, const char* name)
{
    if (isBuiltinModule(module))
        return builtinProcAddress(module, name);
    if (!isLoaded(module) || !name)
        return nullptr;
    void* handle = reinterpret_cast<void*>(module);
    void* symbol = dlsym(handle, name);
    if (!symbol)
        return nullptr;
#ifdef __EMSCRIPTEN__
    return symbol;  // no link maps to check against; the web build loads no module files
#else
    // dlsym also searches the module's dependencies; only the module's own
    // exports count, as in a module's export table.
    link_map* own = nullptr;
    link_map* defining = nullptr;
    Dl_info info;
    if (dlinfo(handle, RTLD_DI_LINKMAP, &own) != 0 ||
        !dladdr1(symbol, &info, reinterpret_cast<void**>(&defining), RTLD_DL_LINKMAP))
        return nullptr;
    return defining == own ? symbol : nullptr;
#endif
}

int FreeLibrary(HMODULE module)
{
    if (isBuiltinModule(module))
        return freeBuiltinModule(module);
    auto& modules = loadedModules();
    auto it = modules.find(module);
    if (it == modules.end())
        return 0;
    if (--it->second == 0)
        modules.erase(it);
    return dlclose(reinterpret_cast<void*>(module)) == 0 ? 1 : 0;
}
