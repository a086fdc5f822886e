// The engine libraries' calls a scene can make: the configuration store,
// the search path, path and module names, the file system and the integer
// trigonometry, each giving back text.

#include <cstring>
#include <map>

#include "engine/zelmath/zelmath.h"
#include "engine/zelufs/zelufs.h"
#include "scene_args.h"

namespace zeltest {

namespace {

std::string registryString(const char* key, const char* fallback, int size)
{
    char out[64] = "abc";
    return ZelSystem::GetRegistryString(key, fallback, out, size);
}

// The search with the given directory list in place of the current one.
std::string searchPath(const char* dirs, const char* name)
{
    char saved[ZelSystem::AppendPathSize], out[ZelSystem::FoundPathSize];
    std::memcpy(saved, ZelSystem::AppendPath, sizeof saved);
    std::snprintf(ZelSystem::AppendPath, sizeof saved, "%s", dirs);
    const char* found = ZelSystem::SearchPath(out, name);
    std::memcpy(ZelSystem::AppendPath, saved, sizeof saved);
    return found ? found : "none";
}

std::string deviceName(const char* name)
{
    char out[80];
    return ZelSystem::AsDeviceName(out, name);
}

// What openBin opens, read whole; "null" when it opens nothing.
std::string openBin(const char* name, const char* dir)
{
    HClass<ZelFile> file = ZelUFSLib::Lib->openBin(name, dir, 0);
    if (file.isNull())
        return "null";
    char buffer[64];
    const std::string at = std::to_string(file->position) + ": ";
    const std::string s(buffer, file->read(buffer, 1, sizeof buffer));
    file->close();
    file.destroy();
    return at + s;
}

std::string roots()
{
    std::string s;
    for (const std::string& root : ZelUFSLib::roots())
        s += (s.empty() ? "" : " ") + root;
    return s;
}

}  // namespace

void addEngineCalls(std::map<std::string, SceneInvoker>& calls)
{
    calls.insert({
        {"ZelSystem::GetRegistryString", sceneInvoker(registryString)},
        {"ZelSystem::SetRegistryString", sceneInvoker(ZelSystem::SetRegistryString)},
        {"ZelSystem::SearchPath", sceneInvoker(searchPath)},
        {"ZelSystem::MatchPathNoCase", sceneInvoker(+[](const char* path) { return ZelSystem::MatchPathNoCase(path); })},
        {"ZelSystem::AsDeviceName", sceneInvoker(deviceName)},
        {"openBin", sceneInvoker(openBin)},
        {"ZelMem::SetLargestAllocation", sceneInvoker(+[](int bytes) { ZelMem::SetLargestAllocation(static_cast<size_t>(bytes)); })},
        {"ZelUFSLib::roots", sceneInvoker(roots)},
        {"iSin", sceneInvoker(iSin)},
        {"iCos", sceneInvoker(iCos)},
    });
}

}  // namespace zeltest
